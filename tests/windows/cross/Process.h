// What the test drivers need to run a program of their own: start it, collect its standard
// output, wait for its end. Paths are the platform's own (C:\..., or Z:\... under Wine).
#pragma once

#include <filesystem>
#include <string>

namespace wintest {

struct Finished {
    std::string output; // standard output, as written
    unsigned long exitCode;
};

// Runs program with the given argument text (already quoted as needed) and the driver's own
// environment, with pathFront, when not empty, put in front of PATH for that run only.
Finished RunProgram(const std::filesystem::path &program, const std::wstring &arguments,
                    const std::filesystem::path &pathFront = {});

// The folder of the running program's own file.
std::filesystem::path OwnFolder();

// A path as one argument on a command line.
std::wstring Quoted(const std::filesystem::path &path);

// A fresh empty folder under the driver's own folder, removed with its contents at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string &name);
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder();
    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace wintest
