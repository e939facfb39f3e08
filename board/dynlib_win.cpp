#include "dynlib.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>

namespace dynlib {
namespace {

Module ToModule(HMODULE handle) {
    return reinterpret_cast<Module>(handle);
}
HMODULE ToHandle(Module module) {
    return reinterpret_cast<HMODULE>(module);
}

std::wstring Widen(const std::string &utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

// The full path of the program's file; grows the buffer for paths beyond MAX_PATH.
std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD capacity = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), capacity);
        if (length == 0) {
            return {};
        }
        if (length < capacity) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

Module FindLoaded(const std::string &fileName) {
    return ToModule(GetModuleHandleW(Widen(fileName).c_str()));
}

Module LoadByName(const std::string &fileName) {
    return ToModule(LoadLibraryW(Widen(fileName).c_str()));
}

Module LoadBesideProgram(const std::string &fileName) {
    const std::wstring program = ProgramPath();
    const auto separator = program.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return 0;
    }
    const std::wstring path = program.substr(0, separator + 1) + Widen(fileName);
    // The altered search path makes the library's own dependencies resolve from its folder.
    return ToModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void *Symbol(Module module, const std::string &name) {
    const FARPROC entry = GetProcAddress(ToHandle(module), name.c_str());
    // Carried as a plain address; the binding casts it back to the entry point's own type.
    void *address = nullptr;
    static_assert(sizeof address == sizeof entry);
    std::memcpy(&address, &entry, sizeof address);
    return address;
}

void Release(Module module) {
    FreeLibrary(ToHandle(module));
}

} // namespace dynlib
