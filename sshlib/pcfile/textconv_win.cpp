// On Windows "ansi" is the system's ANSI code page.
#include "textconv.h"

#include <windows.h>

namespace sshlib::text {

std::u16string decodeAnsi(std::string_view bytes) {
    std::u16string out;
    // Decode piecewise around NUL bytes: MultiByteToWideChar would keep them, and a NUL
    // would cut the text for every caller that reads it as zero-terminated.
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const int len = static_cast<int>(end - start);
        if (len > 0) {
            const int need = MultiByteToWideChar(CP_ACP, 0, bytes.data() + start, len, nullptr, 0);
            const std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(need));
            MultiByteToWideChar(CP_ACP, 0, bytes.data() + start, len,
                                reinterpret_cast<wchar_t *>(out.data() + at), need);
        }
        if (end == bytes.size())
            break;
        out.push_back(0xFFFD);
        start = end + 1;
    }
    return out;
}

std::string encodeAnsi(std::u16string_view text) {
    if (text.empty())
        return {};
    const auto *w = reinterpret_cast<const wchar_t *>(text.data());
    const int len = static_cast<int>(text.size());
    const int need = WideCharToMultiByte(CP_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(need), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, len, out.data(), need, nullptr, nullptr);
    return out;
}

} // namespace sshlib::text
