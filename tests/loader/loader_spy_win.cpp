// The spy on Windows: redirects the program's imports of the DLL loader's functions, so calls
// from code linked into the program reach it, while other modules are left alone. Only what
// concerns ChilkatDelphi32.dll is kept:
//   GetModuleHandleW ChilkatDelphi32.dll -> none
//   LoadLibraryW ChilkatDelphi32.dll -> #1
//   LoadLibraryExW C:\folder\ChilkatDelphi32.dll flags 8 -> #1
//   GetProcAddress #1 CkSsh_Create -> found
//   FreeLibrary #1
#include "loader_spy.h"

#include "ImportPatch.h"
#include "ckDllLoader.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cwchar>
#include <stdexcept>
#include <type_traits>

namespace loadertest {
namespace {

using GetModuleHandleW_t = decltype(&GetModuleHandleW);
using LoadLibraryW_t = decltype(&LoadLibraryW);
using LoadLibraryExW_t = decltype(&LoadLibraryExW);
using GetProcAddress_t = decltype(&GetProcAddress);
using FreeLibrary_t = decltype(&FreeLibrary);

// Plain data only: the hooks run up to the release at program end, while static objects are
// already being destroyed.
struct Watch {
    GetModuleHandleW_t getModuleHandleW = nullptr;
    LoadLibraryW_t loadLibraryW = nullptr;
    LoadLibraryExW_t loadLibraryExW = nullptr;
    GetProcAddress_t getProcAddress = nullptr;
    FreeLibrary_t freeLibrary = nullptr;
    std::array<HMODULE, 16> modules{}; // number N is modules[N - 1]
    std::vector<std::string> *lines = nullptr;
    bool echo = false;
};
static_assert(std::is_trivially_destructible_v<Watch>);
constinit Watch watch;

std::string Narrow(const wchar_t *text) {
    if (text == nullptr) {
        return "(null)";
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

bool NamesTheLibrary(const wchar_t *fileName) {
    if (fileName == nullptr) {
        return false;
    }
    const wchar_t *base = fileName;
    for (const wchar_t *at = fileName; *at != L'\0'; ++at) {
        if (*at == L'\\' || *at == L'/') {
            base = at + 1;
        }
    }
    return _wcsicmp(base, L"ChilkatDelphi32.dll") == 0;
}

// 0 for a module not seen yet.
std::size_t Known(HMODULE module) {
    for (std::size_t n = 0; n < watch.modules.size() && watch.modules[n] != nullptr; ++n) {
        if (watch.modules[n] == module) {
            return n + 1;
        }
    }
    return 0;
}

// Also true for a library loaded before the spy was installed.
bool IsTheLibrary(HMODULE module) {
    if (module == nullptr) {
        return false;
    }
    if (Known(module) != 0) {
        return true;
    }
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH * 4);
    return length > 0 && length < MAX_PATH * 4 && NamesTheLibrary(path);
}

std::string Shown(HMODULE module) {
    if (module == nullptr) {
        return "none";
    }
    std::size_t number = Known(module);
    if (number == 0) {
        for (std::size_t n = 0; n < watch.modules.size(); ++n) {
            if (watch.modules[n] == nullptr) {
                watch.modules[n] = module;
                number = n + 1;
                break;
            }
        }
    }
    return "#" + std::to_string(number);
}

void Record(const std::string &line) {
    if (watch.echo) {
        WriteLine(line);
    }
    if (watch.lines != nullptr) {
        watch.lines->push_back(line);
    }
}

HMODULE WINAPI SpyGetModuleHandleW(LPCWSTR name) {
    const HMODULE module = watch.getModuleHandleW(name);
    if (NamesTheLibrary(name)) {
        Record("GetModuleHandleW " + Narrow(name) + " -> " + Shown(module));
    }
    return module;
}

HMODULE WINAPI SpyLoadLibraryW(LPCWSTR name) {
    const HMODULE module = watch.loadLibraryW(name);
    if (NamesTheLibrary(name)) {
        Record("LoadLibraryW " + Narrow(name) + " -> " + Shown(module));
    }
    return module;
}

HMODULE WINAPI SpyLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    const HMODULE module = watch.loadLibraryExW(name, file, flags);
    if (NamesTheLibrary(name)) {
        Record("LoadLibraryExW " + Narrow(name) + (file != nullptr ? " with a file handle" : "") +
               " flags " + std::to_string(flags) + " -> " + Shown(module));
    }
    return module;
}

FARPROC WINAPI SpyGetProcAddress(HMODULE module, LPCSTR name) {
    const FARPROC entry = watch.getProcAddress(module, name);
    if (IsTheLibrary(module)) {
        // A name below 64 Ki is an ordinal, not a text.
        const bool ordinal = reinterpret_cast<ULONG_PTR>(name) < 0x10000;
        Record("GetProcAddress " + Shown(module) + " " +
               (ordinal ? "ordinal " + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                        : std::string(name)) +
               " -> " + (entry != nullptr ? "found" : "none"));
    }
    return entry;
}

BOOL WINAPI SpyFreeLibrary(HMODULE module) {
    if (IsTheLibrary(module)) {
        Record("FreeLibrary " + Shown(module));
    }
    return watch.freeLibrary(module);
}

template <typename Function> Function Redirect(const char *function, Function replacement) {
    return reinterpret_cast<Function>(
        wintest::RedirectImport("KERNEL32.dll", function, reinterpret_cast<void *>(replacement)));
}

void Install() {
    if (watch.getModuleHandleW != nullptr) {
        throw std::logic_error("the loader is watched already");
    }
    watch.getModuleHandleW = Redirect("GetModuleHandleW", &SpyGetModuleHandleW);
    watch.loadLibraryW = Redirect("LoadLibraryW", &SpyLoadLibraryW);
    watch.loadLibraryExW = Redirect("LoadLibraryExW", &SpyLoadLibraryExW);
    watch.getProcAddress = Redirect("GetProcAddress", &SpyGetProcAddress);
    watch.freeLibrary = Redirect("FreeLibrary", &SpyFreeLibrary);
}

} // namespace

LoaderSpy::LoaderSpy() {
    Install();
    watch.lines = &lines_;
}

LoaderSpy::~LoaderSpy() {
    watch.lines = nullptr;
    Redirect("FreeLibrary", watch.freeLibrary);
    Redirect("GetProcAddress", watch.getProcAddress);
    Redirect("LoadLibraryExW", watch.loadLibraryExW);
    Redirect("LoadLibraryW", watch.loadLibraryW);
    Redirect("GetModuleHandleW", watch.getModuleHandleW);
    watch = Watch{};
}

std::vector<std::string> LoaderSpy::Take() {
    std::vector<std::string> taken;
    taken.swap(lines_);
    return taken;
}

void EchoLoaderCallsUntilExit() {
    Install();
    watch.echo = true;
}

void WriteLine(const std::string &line) {
    // Unbuffered and untranslated: the lines reach the reader as written, "\n" included.
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

void *UnwatchedEntry(const char *name) {
    const auto module = reinterpret_cast<HMODULE>(ckDllLoader::DllHandle);
    if (module == nullptr) {
        return nullptr;
    }
    const FARPROC entry = watch.getProcAddress != nullptr ? watch.getProcAddress(module, name)
                                                          : GetProcAddress(module, name);
    return reinterpret_cast<void *>(entry);
}

bool IsLookup(const std::string &line) {
    return line.starts_with("GetProcAddress ");
}

std::string ExpectFindLoaded(const std::string &module) {
    return "GetModuleHandleW ChilkatDelphi32.dll -> " + module;
}

std::string ExpectLoad(const std::string &file, const std::string &module) {
    return "LoadLibraryW " + file + " -> " + module;
}

// By full path, with the altered search path (8), so that the library's own dependencies
// resolve from its folder.
std::string ExpectLoadBesideProgram(const std::string &folder, const std::string &module) {
    return "LoadLibraryExW " + folder + "\\ChilkatDelphi32.dll flags 8 -> " + module;
}

std::string ExpectLookup(const std::string &module, const std::string &entry, bool found) {
    return "GetProcAddress " + module + " " + entry + " -> " + (found ? "found" : "none");
}

std::string ExpectRelease(const std::string &module) {
    return "FreeLibrary " + module;
}

} // namespace loadertest
