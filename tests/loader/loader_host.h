// What the load-step probe and its driver need from the platform besides the spy:
// loader_host_posix.cpp and loader_host_win.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace loadertest {

// Paths to and from UTF-8, the tests' text, whatever the platform's own path encoding.
inline std::filesystem::path PathFromUtf8(const std::string &text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8(const std::filesystem::path &path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The folder of the running program's own file.
std::filesystem::path OwnFolder();

unsigned long ProcessId();

// In the probe.

// The program's arguments after its name, in UTF-8.
std::vector<std::string> ProgramArguments(int argc, char **argv);

// Whether the platform's standard search for a library by bare name looks in the program's own
// folder (Windows does, first of all; Linux never does).
bool StandardSearchCoversProgramFolder();

// Keeps the standard search out of the program's own folder from now on, as hardened Windows
// hosts do; nothing to do on Linux. False, with a message on standard error, when it fails.
bool KeepStandardSearchOutOfProgramFolder();

// Loads the library at path and holds it to the end. False, with a message on standard error,
// when it fails.
bool LoadAndHold(const std::filesystem::path &path);

// In the driver.

struct Finished {
    std::string output; // standard output, as written
    unsigned long exitCode;
};

// Runs program with args and waits for its end. With libraryFolder, that folder and no other
// is on the library search path (LD_LIBRARY_PATH) or in front of it (PATH) for that run.
Finished RunProgram(const std::filesystem::path &program, const std::vector<std::string> &args,
                    const std::filesystem::path &libraryFolder = {});

} // namespace loadertest
