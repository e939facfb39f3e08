// How our ChilkatDelphi32.dll starts Winsock: not while it is loaded (that would be inside
// DllMain, under the loader lock), but on the first connect, once, however many threads connect
// at once. Winsock counts its starts, so WSACleanup tells: before any connect it must find none,
// after two threads connected at once exactly one.
//   winsock_probe PORT     (PORT: a port on 127.0.0.1 where nothing listens)
// Prints "ok - ..." or "not ok - ..." per check; the exit status is 0 only if all passed.
#define CKAPI_DECLARE_EXPORTS
#include "ckabi.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <winsock2.h>

namespace {
int failed = 0;

void check(bool ok, const char *what, const std::string &detail = {}) {
    std::printf("%s - %s%s%s\n", ok ? "ok" : "not ok", what, ok || detail.empty() ? "" : ": ",
                ok ? "" : detail.c_str());
    failed |= !ok;
}

std::string narrow(const char16_t *text) {
    std::string out;
    for (; text && *text; ++text)
        out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

// WSACleanup's answer: "0" when it released a start, else its error code.
std::string cleanup() {
    return WSACleanup() == 0 ? "0" : std::to_string(WSAGetLastError());
}
} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: winsock_probe PORT\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);

    // The library is loaded (linked) before main runs.
    const std::string atLoad = cleanup();
    check(atLoad == std::to_string(WSANOTINITIALISED), "loading the library starts no Winsock",
          "WSACleanup found a start: " + atLoad);

    std::string texts[2];
    int results[2] = {-1, -1};
    {
        std::thread threads[2];
        for (int t = 0; t < 2; ++t) {
            threads[t] = std::thread([&, t] {
                const ckabi::Handle ssh = CkSsh_Create();
                results[t] = CkSsh_Connect(ssh, u"127.0.0.1", port);
                texts[t] = narrow(CkSsh__lastErrorText(ssh));
                CkSsh_Dispose(ssh);
            });
        }
        for (auto &thread : threads)
            thread.join();
    }
    for (int t = 0; t < 2; ++t) {
        check(results[t] == 0 && texts[t].find("refused") != std::string::npos,
              "a connect from each of two threads at once reaches the network and is refused",
              "result " + std::to_string(results[t]) + ", text: " + texts[t]);
    }

    const std::string first = cleanup();
    const std::string second = cleanup();
    check(first == "0" && second == std::to_string(WSANOTINITIALISED),
          "the two connects started Winsock once",
          "WSACleanup answered " + first + ", then " + second);
    return failed;
}
