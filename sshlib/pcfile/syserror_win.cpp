#include "syserror_win.h"

#include "textconv.h"

#include <windows.h>

namespace sshlib {

std::string windowsErrorText(unsigned long code) {
    wchar_t *msg = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t *>(&msg), 0, nullptr);
    std::string out;
    if (msg) {
        out = text::toUtf8(reinterpret_cast<const char16_t *>(msg));
        LocalFree(msg);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.'))
            out.pop_back();
    }
    return out.empty() ? "system error " + std::to_string(code) : out;
}

} // namespace sshlib
