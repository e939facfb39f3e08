// Where the loader finds the library, what it does when it cannot, and what it releases: each
// row runs the probe program as its own process, from a prepared folder and library search
// path, and compares the loader calls it made, in order, down to the release at program end.
#include "loader_host.h"
#include "loader_spy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using namespace loadertest;

namespace {

// LOADER_PROBE and LOADER_FAKE are relative to the test program's folder, or absolute.
fs::path Built(const char *path) {
    return (OwnFolder() / path).lexically_normal();
}

// A fresh empty folder under the test program's own, removed with its contents at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string &name)
        : path_(OwnFolder() / "scratch" / (name + "-" + std::to_string(ProcessId()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
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

std::string Replace(std::string text, const std::string &from, const std::string &to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::vector<std::string> Words(const std::string &text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

enum class Place {
    BuildFolder, // the probe where it was built, a folder without the library
    BesideFake,  // a copy of the probe in a folder with a copy of the library
    Alone,       // a copy of the probe in an empty folder
};

struct LoadCase {
    const char *name;
    Place place;
    bool searchPath;      // the library search path names the fake library's folder
    const char *args;     // {fake}: the fake library's path
    std::string expected; // {fake} as above, {own}: the program's folder
};

std::string Line(const std::string &text) {
    return text + "\n";
}

const std::string Library = "ChilkatDelphi32.dll";
const std::string NotLoadedYet = Line(ExpectFindLoaded("none"));
const std::string NotOnSearchPath = Line(ExpectLoad(Library, "none"));
const std::string FoundOnSearchPath = Line(ExpectLoad(Library, "#1"));
const std::string FoundBesideProgram = Line(ExpectLoadBesideProgram("{own}", "#1"));
const std::string Missing = NotLoadedYet + NotOnSearchPath +
                            Line(ExpectLoadBesideProgram("{own}", "none")) +
                            "error: Library not found: ChilkatDelphi32.dll\n";
const std::string Bound =
    Line(ExpectLookup("#1", "CkSsh_Create", true)) + "CkSsh_Create -> 305419896\n";
const std::string ReleasedAtEnd = Line(ExpectRelease("#1"));
// Once the library is beside the program, the standard search finds it where it looks there
// (Windows); elsewhere the last resort does.
const std::string FoundOncePutInPlace =
    NotLoadedYet + (StandardSearchCoversProgramFolder() ? FoundOnSearchPath
                                                        : NotOnSearchPath + FoundBesideProgram);

const LoadCase LoadCases[] = {
    {"NoOperationReleasesNothing", Place::BuildFolder, false, "none", ""},
    // The handle is taken over as it is; the release at the end is the loader's all the same.
    {"AlreadyLoadedIsTakenOver", Place::BuildFolder, false, "--preload {fake} bind",
     Line(ExpectLoad("{fake}", "#1")) + Line(ExpectFindLoaded("#1")) + Bound + ReleasedAtEnd},
    {"StandardSearchFindsItOnSearchPath", Place::BuildFolder, true, "bind",
     NotLoadedYet + FoundOnSearchPath + Bound + ReleasedAtEnd},
    {"OnlyTheProgramFolderFindsIt", Place::BesideFake, false, "--no-program-folder-search bind",
     NotLoadedYet + NotOnSearchPath + FoundBesideProgram + Bound + ReleasedAtEnd},
    {"MissingIsRetriedAndFoundOncePutInPlace", Place::Alone, false, "retry {fake}",
     Missing + Missing + "library put in place\n" + FoundOncePutInPlace + Bound + ReleasedAtEnd},
    {"FreeDllReleasesOnceAndResetsHandle", Place::BuildFolder, true, "free",
     NotLoadedYet + FoundOnSearchPath + Bound + Line(ExpectRelease("#1")) + "DllHandle 0\n"},
};

// Names the row in test output instead of a byte dump.
void PrintTo(const LoadCase &row, std::ostream *out) {
    *out << row.name;
}

class LoadSteps : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadSteps, MakesExactlyTheseLoaderCalls) {
    const LoadCase &row = GetParam();
    const fs::path probe = Built(LOADER_PROBE);
    const fs::path fake = Built(LOADER_FAKE);
    ASSERT_TRUE(fs::exists(probe)) << probe;
    ASSERT_TRUE(fs::exists(fake)) << fake;
    ASSERT_FALSE(fs::exists(probe.parent_path() / fake.filename()))
        << "the probe's build folder must not hold the library";

    const TempFolder folder(row.name);
    fs::path program = probe;
    if (row.place != Place::BuildFolder) {
        program = folder.Path() / probe.filename();
        fs::copy_file(probe, program);
    }
    if (row.place == Place::BesideFake) {
        fs::copy_file(fake, folder.Path() / fake.filename());
    }

    std::vector<std::string> args = Words(row.args);
    for (std::string &arg : args) {
        arg = Replace(arg, "{fake}", Utf8(fake));
    }
    const Finished run =
        RunProgram(program, args, row.searchPath ? fake.parent_path() : fs::path());

    std::string expected = Replace(row.expected, "{fake}", Utf8(fake));
    expected = Replace(expected, "{own}", Utf8(program.parent_path()));
    const std::string command = Utf8(program) + " " + row.args;
    EXPECT_EQ(expected, run.output) << "command: " << command;
    EXPECT_EQ(0u, run.exitCode) << "command: " << command;
}

INSTANTIATE_TEST_SUITE_P(, LoadSteps, testing::ValuesIn(LoadCases),
                         [](const testing::TestParamInfo<LoadCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
