#include "net_platform.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sshlib::net {

namespace platform {

bool start(std::string &) {
    return true;
}

bool resolve(const std::string &host, int port, std::vector<Address> &out, std::string &error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *list = nullptr;
    const std::string service = std::to_string(port);
    const int gai = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (gai != 0) {
        error = std::string("the address could not be resolved (") + ::gai_strerror(gai) + ")";
        return false;
    }
    static_assert(sizeof(sockaddr_storage) <= sizeof(Address::bytes));
    appendAddresses(list, out);
    ::freeaddrinfo(list);
    return true;
}

Socket tryAddress(const Address &address, Clock::time_point deadline, std::string &error) {
    SocketGuard guard(::socket(address.family, address.socktype | SOCK_CLOEXEC, address.protocol));
    const int fd = guard.get();
    if (fd < 0) {
        error = std::strerror(errno);
        return NoSocket;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    int rc = ::connect(fd, reinterpret_cast<const sockaddr *>(address.bytes.data()),
                       static_cast<socklen_t>(address.length));
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        for (;;) {
            rc = ::poll(&p, 1, msLeft(deadline));
            if (rc < 0 && errno == EINTR)
                continue;
            break;
        }
        if (rc == 0) {
            error = "no answer within the connect time-out";
            return NoSocket;
        }
        int soerr = 0;
        socklen_t len = sizeof soerr;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soerr, &len);
        if (rc < 0 || soerr != 0) {
            error = std::strerror(rc < 0 ? errno : soerr);
            return NoSocket;
        }
    } else if (rc != 0) {
        error = std::strerror(errno);
        return NoSocket;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return guard.release();
}

} // namespace platform

void shutdownSocket(Socket s) {
    if (s != NoSocket)
        ::shutdown(s, SHUT_RDWR);
}

void closeSocket(Socket s) {
    if (s != NoSocket)
        ::close(s);
}

Ready waitSocket(Socket s, bool forRead, bool forWrite, int timeoutMs) {
    pollfd p{s, static_cast<short>((forRead ? POLLIN : 0) | (forWrite ? POLLOUT : 0)), 0};
    int rc;
    do {
        rc = ::poll(&p, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0)
        return Ready::Error;
    return rc == 0 ? Ready::Timeout : Ready::Yes;
}

long receive(Socket s, void *buffer, std::size_t length, int flags) {
    const ssize_t n = ::recv(s, buffer, length, flags);
    if (n < 0)
        return errno == EWOULDBLOCK ? -EAGAIN : -errno;
    return static_cast<long>(n);
}

std::string lastError() {
    return std::strerror(errno);
}

} // namespace sshlib::net
