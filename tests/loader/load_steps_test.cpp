// Where the loader finds the library, what it does when it cannot, and what it releases: each
// row runs the probe program as its own process, from a prepared folder and environment, and
// compares the loader calls it made, in order, down to the release at program end.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

const fs::path Probe = LOADER_PROBE;
const fs::path Fake = LOADER_FAKE;
const fs::path Scratch = LOADER_SCRATCH;

// A fresh folder, removed with its contents at the end of the test.
class TempFolder {
public:
    TempFolder() {
        fs::create_directories(Scratch);
        std::string pattern = (Scratch / "run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        }
        path_ = fs::canonical(pattern);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path &Path() const { return path_; }

private:
    fs::path path_;
};

class Pipe {
public:
    explicit Pipe(const std::string &command) : file_(popen(command.c_str(), "r")) {
        if (file_ == nullptr) {
            throw std::system_error(errno, std::generic_category(), "popen " + command);
        }
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;
    ~Pipe() {
        if (file_ != nullptr) {
            pclose(file_);
        }
    }
    std::string ReadAll() {
        std::string text;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, file_) != nullptr) {
            text += buffer;
        }
        return text;
    }
    int Close() { return pclose(std::exchange(file_, nullptr)); }

private:
    FILE *file_;
};

std::string Quote(const std::string &text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string Replace(std::string text, const std::string &from, const std::string &to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

enum class Place {
    BuildFolder, // the probe where it was built, a folder without the library
    BesideFake,  // a copy of the probe in a folder with a copy of the library
    Alone,       // a copy of the probe in an empty folder
};

struct LoadCase {
    const char *name;
    Place place;
    bool searchPath;      // LD_LIBRARY_PATH names the fake library's folder
    const char *args;     // {fake}: the fake library's path
    std::string expected; // {fake} as above, {own}: the program's folder
};

const std::string NotLoadedYet = "dlopen ChilkatDelphi32.dll NOLOAD -> none\n";
const std::string NotOnSearchPath = "dlopen ChilkatDelphi32.dll -> none\n";
const std::string Missing = NotLoadedYet + NotOnSearchPath +
                            "dlopen {own}/ChilkatDelphi32.dll -> none\n"
                            "error: Library not found: ChilkatDelphi32.dll\n";
const std::string Bound = "dlsym #1 CkSsh_Create -> found\n"
                          "CkSsh_Create -> 305419896\n";
const std::string ReleasedAtEnd = "dlclose #1\n";

const LoadCase LoadCases[] = {
    {"NoOperationReleasesNothing", Place::BuildFolder, false, "none", ""},
    {"AlreadyLoadedIsTakenOver", Place::BuildFolder, false, "--preload {fake} bind",
     "dlopen {fake} -> #1\n"
     "dlopen ChilkatDelphi32.dll NOLOAD -> #1\n" +
         Bound + ReleasedAtEnd},
    {"StandardSearchFindsIt", Place::BuildFolder, true, "bind",
     NotLoadedYet + "dlopen ChilkatDelphi32.dll -> #1\n" + Bound + ReleasedAtEnd},
    {"ProgramFolderFindsIt", Place::BesideFake, false, "bind",
     NotLoadedYet + NotOnSearchPath + "dlopen {own}/ChilkatDelphi32.dll -> #1\n" + Bound +
         ReleasedAtEnd},
    {"MissingIsRetriedAndFoundOncePutInPlace", Place::Alone, false, "retry {fake}",
     Missing + Missing + "library put in place\n" + NotLoadedYet + NotOnSearchPath +
         "dlopen {own}/ChilkatDelphi32.dll -> #1\n" + Bound + ReleasedAtEnd},
    {"FreeDllReleasesOnceAndResetsHandle", Place::BuildFolder, true, "free",
     NotLoadedYet + "dlopen ChilkatDelphi32.dll -> #1\n" + Bound + "dlclose #1\nDllHandle 0\n"},
};

// Names the row in test output instead of a byte dump.
void PrintTo(const LoadCase &row, std::ostream *out) {
    *out << row.name;
}

class LoadSteps : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadSteps, MakesExactlyTheseLoaderCalls) {
    const LoadCase &row = GetParam();
    const TempFolder folder;
    fs::path program = Probe;
    if (row.place != Place::BuildFolder) {
        program = folder.Path() / Probe.filename();
        fs::copy_file(Probe, program);
    }
    if (row.place == Place::BesideFake) {
        fs::copy_file(Fake, folder.Path() / Fake.filename());
    }

    std::string command = "env -u LD_LIBRARY_PATH ";
    if (row.searchPath) {
        command += "LD_LIBRARY_PATH=" + Quote(Fake.parent_path().string()) + " ";
    }
    command += Quote(program.string()) + " " + Replace(row.args, "{fake}", Quote(Fake.string()));
    Pipe probe(command);
    const std::string output = probe.ReadAll();
    const int status = probe.Close();

    std::string expected = Replace(row.expected, "{fake}", Fake.string());
    expected = Replace(expected, "{own}", fs::canonical(program).parent_path().string());
    EXPECT_EQ(expected, output) << "command: " << command;
    EXPECT_EQ(0, status) << "command: " << command;
}

INSTANTIATE_TEST_SUITE_P(, LoadSteps, testing::ValuesIn(LoadCases),
                         [](const testing::TestParamInfo<LoadCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
