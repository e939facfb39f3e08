#include "Platform.h"

#include <QCoreApplication>
#include <QWidget>

#include <vector>

#include <windows.h>

#include <shellapi.h>

namespace shell::platform {

std::optional<FileVersion> ProgramFileVersion() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < path.size()) {
            break;
        }
        path.resize(path.size() * 2);
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.data(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.data(), 0, size, block.data())) {
        return std::nullopt;
    }
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &fixedSize) ||
        fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    return FileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

void ShellOpen(QWidget *owner, const QString &address) {
    const HWND window =
        owner != nullptr ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    ShellExecuteW(window, L"open", reinterpret_cast<const wchar_t *>(address.utf16()), nullptr,
                  nullptr, SW_SHOW);
}

void AddPrivateFonts() {
    // Windows has Tahoma itself.
}

QColor DesktopColour() {
    const COLORREF colour = GetSysColor(COLOR_DESKTOP);
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

} // namespace shell::platform
