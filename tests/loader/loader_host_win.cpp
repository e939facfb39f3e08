#include "loader_host.h"

#include "Process.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>

namespace loadertest {

std::filesystem::path OwnFolder() {
    return wintest::OwnFolder();
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

// From the wide command line: argv holds the arguments in the ANSI code page only.
std::vector<std::string> ProgramArguments(int, char **) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> args;
    for (int n = 1; wide != nullptr && n < count; ++n) {
        args.push_back(Utf8(std::filesystem::path(wide.get()[n])));
    }
    return args;
}

bool StandardSearchCoversProgramFolder() {
    return true;
}

bool KeepStandardSearchOutOfProgramFolder() {
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        std::fprintf(stderr, "SetDefaultDllDirectories failed: %lu\n", GetLastError());
        return false;
    }
    return true;
}

bool LoadAndHold(const std::filesystem::path &path) {
    if (LoadLibraryW(path.c_str()) == nullptr) {
        std::fprintf(stderr, "loading %s failed: %lu\n", Utf8(path).c_str(), GetLastError());
        return false;
    }
    return true;
}

Finished RunProgram(const std::filesystem::path &program, const std::vector<std::string> &args,
                    const std::filesystem::path &libraryFolder) {
    std::wstring line;
    for (const std::string &arg : args) {
        line += (line.empty() ? L"" : L" ") + wintest::Quoted(PathFromUtf8(arg));
    }
    const wintest::Finished finished = wintest::RunProgram(program, line, libraryFolder);
    return {finished.output, finished.exitCode};
}

} // namespace loadertest
