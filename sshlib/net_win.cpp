#include "net_platform.h"

#include "syserror_win.h"
#include "textconv.h"

#include <cstring>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

namespace sshlib::net {

namespace {
std::string errorText(int code) {
    return windowsErrorText(static_cast<unsigned long>(code));
}

// Winsock is started on the first connect, once, however many threads connect at once; never
// while the library is being loaded, where Windows forbids it (the loader lock). It is never
// cleaned up by us: WSACleanup at unload would run inside DllMain too, and Windows releases the
// process's Winsock when the process ends. Returns 0 or the WSAStartup error.
int startWinsock() {
    static const int result = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    return result;
}

} // namespace

namespace platform {

bool start(std::string &error) {
    if (const int rc = startWinsock(); rc != 0) {
        error = "the PC's network (Winsock) could not be started (" + errorText(rc) + ")";
        return false;
    }
    return true;
}

bool resolve(const std::string &host, int port, std::vector<Address> &out, std::string &error) {
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    ADDRINFOW *list = nullptr;
    const std::wstring service = std::to_wstring(port);
    const int gai = GetAddrInfoW(reinterpret_cast<const wchar_t *>(text::fromUtf8(host).c_str()),
                                 service.c_str(), &hints, &list);
    if (gai != 0) {
        error = "the address could not be resolved (" + errorText(gai) + ")";
        return false;
    }
    static_assert(sizeof(SOCKADDR_STORAGE) <= sizeof(Address::bytes));
    appendAddresses(list, out);
    FreeAddrInfoW(list);
    return true;
}

Socket tryAddress(const Address &address, Clock::time_point deadline, std::string &error) {
    SocketGuard guard(::socket(address.family, address.socktype, address.protocol));
    const SOCKET s = guard.get();
    if (s == INVALID_SOCKET) {
        error = errorText(WSAGetLastError());
        return NoSocket;
    }
    u_long nonblocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonblocking);
    int rc = ::connect(s, reinterpret_cast<const sockaddr *>(address.bytes.data()), address.length);
    if (rc != 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
        // select() and its exception set, not WSAPoll: before Windows 10 2004, WSAPoll never
        // reports a failed connect, so a refused one would wait out the whole time-out.
        const int ms = msLeft(deadline);
        timeval limit{ms / 1000, (ms % 1000) * 1000};
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        rc = ::select(0, nullptr, &writable, &failed, &limit);
        if (rc == 0) {
            error = "no answer within the connect time-out";
            return NoSocket;
        }
        int soerr = 0;
        int len = sizeof soerr;
        ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&soerr), &len);
        if (rc < 0) {
            error = errorText(WSAGetLastError());
            return NoSocket;
        }
        if (soerr != 0 || FD_ISSET(s, &failed)) {
            error = soerr != 0 ? errorText(soerr) : "the connection failed";
            return NoSocket;
        }
    } else if (rc != 0) {
        error = errorText(WSAGetLastError());
        return NoSocket;
    }
    BOOL one = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&one), sizeof one);
    return guard.release();
}

} // namespace platform

void shutdownSocket(Socket s) {
    if (s != NoSocket)
        ::shutdown(s, SD_BOTH);
}

void closeSocket(Socket s) {
    if (s != NoSocket)
        ::closesocket(s);
}

Ready waitSocket(Socket s, bool forRead, bool forWrite, int timeoutMs) {
    WSAPOLLFD p{s, static_cast<SHORT>((forRead ? POLLRDNORM : 0) | (forWrite ? POLLWRNORM : 0)), 0};
    const int rc = WSAPoll(&p, 1, timeoutMs);
    if (rc < 0)
        return Ready::Error;
    return rc == 0 ? Ready::Timeout : Ready::Yes;
}

long receive(Socket s, void *buffer, std::size_t length, int flags) {
    const int n = ::recv(s, static_cast<char *>(buffer), static_cast<int>(length), flags);
    if (n == SOCKET_ERROR) {
        const int e = WSAGetLastError();
        return e == WSAEWOULDBLOCK ? -EAGAIN : -(e ? e : 1);
    }
    return n;
}

std::string lastError() {
    return errorText(WSAGetLastError());
}

} // namespace sshlib::net
