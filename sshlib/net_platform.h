// What connectTcp (net.cpp) asks of each platform: its calls only. The address loop and its
// time-out arithmetic are written once, in net.cpp.
#pragma once

#include "net.h"

#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace sshlib::net::platform {

using Clock = std::chrono::steady_clock;

inline int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// One address as the resolver gave it: what socket() takes, and the socket address's bytes.
struct Address {
    int family = 0;
    int socktype = 0;
    int protocol = 0;
    std::array<unsigned char, 128> bytes{};
    int length = 0;
};

// Appends a resolver's list (addrinfo, or Windows' ADDRINFOW: the same fields) as Addresses.
template <class Resolved> void appendAddresses(const Resolved *ai, std::vector<Address> &out) {
    for (; ai; ai = ai->ai_next) {
        Address a;
        a.family = ai->ai_family;
        a.socktype = ai->ai_socktype;
        a.protocol = ai->ai_protocol;
        a.length = static_cast<int>(ai->ai_addrlen);
        std::memcpy(a.bytes.data(), ai->ai_addr, ai->ai_addrlen);
        out.push_back(a);
    }
}

// Makes the platform's network usable; false with error set when it cannot be.
bool start(std::string &error);
// The addresses of host (UTF-8, taken as given) and port, in the order to try them; false with
// error set when there are none.
bool resolve(const std::string &host, int port, std::vector<Address> &out, std::string &error);
// One non-blocking connect, waited for until deadline; the connected socket, or NoSocket with
// error set to the cause.
Socket tryAddress(const Address &address, Clock::time_point deadline, std::string &error);

} // namespace sshlib::net::platform
