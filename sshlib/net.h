// TCP sockets for the SSH transport: the one place where the socket API differs by platform.
#pragma once

#include <libssh2.h>

#include <cstddef>
#include <string>

namespace sshlib::net {

using Socket = libssh2_socket_t;
constexpr Socket NoSocket = LIBSSH2_INVALID_SOCKET;

// Resolves host (UTF-8, taken as given) and connects to the first address that answers, all
// within timeoutMs. On failure returns NoSocket and sets error to a readable cause.
Socket connectTcp(const std::string &host, int port, int timeoutMs, std::string &error);

// Makes further sends and receives fail at once, so nothing can block on a dead board.
void shutdownSocket(Socket s);
void closeSocket(Socket s);

// Closes a socket on every way out of a scope, unless it is handed on with release().
class SocketGuard {
public:
    explicit SocketGuard(Socket s) : s_(s) {}
    ~SocketGuard() { closeSocket(s_); }
    SocketGuard(const SocketGuard &) = delete;
    SocketGuard &operator=(const SocketGuard &) = delete;
    Socket get() const { return s_; }
    Socket release() {
        const Socket s = s_;
        s_ = NoSocket;
        return s;
    }

private:
    Socket s_;
};

enum class Ready { Yes, Timeout, Error };
Ready waitSocket(Socket s, bool forRead, bool forWrite, int timeoutMs);

// Non-blocking receive in the form libssh2 expects: bytes read, or a negative errno-style code
// (-EAGAIN when nothing is there yet).
long receive(Socket s, void *buffer, std::size_t length, int flags);

// Text of the platform's last socket error.
std::string lastError();

} // namespace sshlib::net
