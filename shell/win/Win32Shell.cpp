#include "Win32Shell.h"

#include <vector>

#include <windows.h>

#include <shellapi.h>

namespace shell::win32 {

std::optional<std::array<std::uint16_t, 4>> ProgramFileVersion() {
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
    return std::array<std::uint16_t, 4>{
        HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
        HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

void ShellOpen(std::uintptr_t ownerWindow, const wchar_t *address) {
    ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), L"open", address, nullptr, nullptr, SW_SHOW);
}

std::array<std::uint8_t, 3> DesktopColour() {
    const COLORREF colour = GetSysColor(COLOR_DESKTOP);
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

} // namespace shell::win32
