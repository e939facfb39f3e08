#include "cmdline.h"

#include <filesystem>

namespace cmdline {

// The standard library converts from and to UTF-8.
std::vector<std::u16string> arguments(int argc, char **argv) {
    std::vector<std::u16string> out;
    for (int i = 0; i < argc; ++i)
        out.push_back(std::filesystem::path(argv[i]).u16string());
    return out;
}

std::string printable(const char16_t *text) {
    return text ? std::filesystem::path(std::u16string(text)).string() : std::string();
}

} // namespace cmdline
