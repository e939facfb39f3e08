#include "net_platform.h"

namespace sshlib::net {

Socket connectTcp(const std::string &host, int port, int timeoutMs, std::string &error) {
    const auto deadline = platform::Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<platform::Address> addresses;
    if (!platform::start(error) || !platform::resolve(host, port, addresses, error))
        return NoSocket;
    for (const platform::Address &address : addresses) {
        if (platform::msLeft(deadline) == 0) {
            error = "no answer within the connect time-out";
            break;
        }
        const Socket s = platform::tryAddress(address, deadline, error);
        if (s != NoSocket)
            return s;
    }
    return NoSocket;
}

} // namespace sshlib::net
