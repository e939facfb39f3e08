// Watches the loader's calls into the Windows DLL loader (GetModuleHandleW, LoadLibraryW,
// LoadLibraryExW, GetProcAddress, FreeLibrary) by redirecting the program's imports of them.
// Only what concerns ChilkatDelphi32.dll is kept, one line per call with its result:
//   GetModuleHandleW ChilkatDelphi32.dll -> none
//   LoadLibraryW ChilkatDelphi32.dll -> #1
//   LoadLibraryExW C:\folder\ChilkatDelphi32.dll flags 8 -> #1
//   GetProcAddress #1 CkSsh_Create -> found
//   FreeLibrary #1
// Modules are numbered in the order they first appear.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// Keeps the lines for Take while it lives.
class LoaderSpy {
public:
    LoaderSpy();
    LoaderSpy(const LoaderSpy &) = delete;
    LoaderSpy &operator=(const LoaderSpy &) = delete;
    ~LoaderSpy();

    // The lines since the last Take.
    std::vector<std::string> Take();

private:
    std::vector<std::string> lines_;
};

// Writes every line to standard output as it happens, up to and including the release at
// program end, after which no object is left to undo the redirection; hence no owner.
void EchoLoaderCallsUntilExit();

// Looks an export up without being seen.
FARPROC UnwatchedGetProcAddress(HMODULE module, const char *name);

} // namespace wintest
