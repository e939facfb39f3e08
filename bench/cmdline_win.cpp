#include "cmdline.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>
#include <shellapi.h>

namespace cmdline {

std::vector<std::u16string> arguments(int argc, char **) {
    int count = 0;
    const std::unique_ptr<wchar_t *, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::u16string> out;
    if (!wide || count != argc)
        return out;
    for (int i = 0; i < count; ++i)
        out.emplace_back(reinterpret_cast<const char16_t *>(wide.get()[i]));
    return out;
}

std::string printable(const char16_t *text) {
    if (!text || !*text)
        return {};
    const auto *w = reinterpret_cast<const wchar_t *>(text);
    const int need = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(need), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, out.data(), need, nullptr, nullptr);
    out.pop_back(); // the terminating zero
    return out;
}

} // namespace cmdline
