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

std::wstring WineFilePath(const char *unixPath) {
    // Only Wine's kernel32 exports this; it returns a copy on the process heap.
    using DosFileName = wchar_t *(__cdecl *)(const char *);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto toDos = kernel32 != nullptr
                           ? reinterpret_cast<DosFileName>(reinterpret_cast<void (*)()>(
                                 GetProcAddress(kernel32, "wine_get_dos_file_name")))
                           : nullptr;
    if (toDos == nullptr) {
        return {};
    }
    wchar_t *dos = toDos(unixPath);
    if (dos == nullptr) {
        return {};
    }
    std::wstring path(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {};
    }
    return path;
}

} // namespace shell::win32
