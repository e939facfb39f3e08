// Watches the calls the code under test makes into the platform's dynamic loader, one line per
// call with its result, modules numbered in the order they first appear ("#1"; "none" for a
// failed call). Each platform has its own implementation and its own lines:
//   loader_spy_posix.cpp  dlopen, dlsym, dlclose, caught with the linker's --wrap
//   loader_spy_win.cpp    GetModuleHandleW, LoadLibraryW, LoadLibraryExW, GetProcAddress and
//                         FreeLibrary on ChilkatDelphi32.dll, caught in the program's imports
// The tests write their expectations with the Expect* functions, so that they read the same on
// both.
#pragma once

#include <string>
#include <vector>

namespace loadertest {

// Keeps the lines for Take while it lives; one at a time.
class LoaderSpy {
public:
    LoaderSpy();
    LoaderSpy(const LoaderSpy &) = delete;
    LoaderSpy &operator=(const LoaderSpy &) = delete;
    ~LoaderSpy();

    // The lines since construction or the last Take.
    std::vector<std::string> Take();

private:
    std::vector<std::string> lines_;
};

// Writes every line to standard output as it happens, up to and including the release at
// program end, after which no object is left to stop it; hence no owner.
void EchoLoaderCallsUntilExit();

// Writes one line to standard output at once, in step with the echoed lines.
void WriteLine(const std::string &line);

// An export of the library the loader holds (ckDllLoader::DllHandle), looked up without being
// seen; null when it is not loaded or has no such export.
void *UnwatchedEntry(const char *name);

// Whether a line is a look-up of an entry point, rather than a load or a release.
bool IsLookup(const std::string &line);

// The lines the spy writes for the loader's calls.
// The check whether the library is loaded already, by its bare file name.
std::string ExpectFindLoaded(const std::string &module);
// A plain load by bare file name (the standard search) or by full path.
std::string ExpectLoad(const std::string &file, const std::string &module);
// The last resort: the library in the program's folder, by full path.
std::string ExpectLoadBesideProgram(const std::string &folder, const std::string &module);
std::string ExpectLookup(const std::string &module, const std::string &entry, bool found);
std::string ExpectRelease(const std::string &module);

} // namespace loadertest
