// Prints the methods our library negotiates with a board, so that OpenSSH can be pinned to
// the same cipher and MAC when the two are compared.
//   ckmethods HOST [PORT]   ->  kex=... hostkey=... cipher=... mac=...
#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ckmethods HOST [PORT]\n");
        return 2;
    }
    sshlib::Session s;
    const std::u16string host = std::filesystem::path(argv[1]).u16string();
    if (!s.connect(host, argc > 2 ? std::atoi(argv[2]) : 22)) {
        std::fprintf(stderr, "%s\n", s.error().text().c_str());
        return 1;
    }
    std::printf("%s\n", sshlib::negotiatedMethods(s).c_str());
    return 0;
}
