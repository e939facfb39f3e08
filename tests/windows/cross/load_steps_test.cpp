// Where the loader finds ChilkatDelphi32.dll on Windows, what it does when it cannot, and what
// it releases: each row runs the probe program as its own process, from a prepared folder and
// PATH, and compares the DLL-loader calls it made, in order, down to the release at program end.
#include "Process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace fs = std::filesystem;
using namespace wintest;

namespace {

fs::path Built(const char *relative) {
    return (OwnFolder() / relative).lexically_normal();
}

// As the probe prints paths.
std::string Utf8(const fs::path &path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::wstring Widened(const char *ascii) {
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

template <typename Text> Text Replace(Text text, const Text &from, const Text &to) {
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
    bool searchPath;      // PATH names the fake library's folder
    const char *args;     // {fake}: the fake library's path
    std::string expected; // {fake} as above, {own}: the program's folder
};

const std::string NotLoadedYet = "GetModuleHandleW ChilkatDelphi32.dll -> none\n";
const std::string NotOnSearchPath = "LoadLibraryW ChilkatDelphi32.dll -> none\n";
const std::string Missing = NotLoadedYet + NotOnSearchPath +
                            "LoadLibraryExW {own}\\ChilkatDelphi32.dll flags 8 -> none\n"
                            "error: Library not found: ChilkatDelphi32.dll\n";
const std::string Bound = "GetProcAddress #1 CkSsh_Create -> found\n"
                          "CkSsh_Create -> 305419896\n";
const std::string ReleasedAtEnd = "FreeLibrary #1\n";

const LoadCase LoadCases[] = {
    {"NoOperationReleasesNothing", Place::BuildFolder, false, "none", ""},
    // The handle is taken over as it is; the release at the end is the loader's all the same.
    {"AlreadyLoadedIsTakenOver", Place::BuildFolder, false, "--preload {fake} bind",
     "LoadLibraryW {fake} -> #1\n"
     "GetModuleHandleW ChilkatDelphi32.dll -> #1\n" +
         Bound + ReleasedAtEnd},
    {"StandardSearchFindsItOnPath", Place::BuildFolder, true, "bind",
     NotLoadedYet + "LoadLibraryW ChilkatDelphi32.dll -> #1\n" + Bound + ReleasedAtEnd},
    {"OnlyTheProgramFolderFindsIt", Place::BesideFake, false, "--system32-only bind",
     NotLoadedYet + NotOnSearchPath + "LoadLibraryExW {own}\\ChilkatDelphi32.dll flags 8 -> #1\n" +
         Bound + ReleasedAtEnd},
    // Once beside the program, the standard search finds it: Windows looks in the program's
    // folder first.
    {"MissingIsRetriedAndFoundOncePutInPlace", Place::Alone, false, "retry {fake}",
     Missing + Missing + "library put in place\n" + NotLoadedYet +
         "LoadLibraryW ChilkatDelphi32.dll -> #1\n" + Bound + ReleasedAtEnd},
    {"FreeDllReleasesOnceAndResetsHandle", Place::BuildFolder, true, "free",
     NotLoadedYet + "LoadLibraryW ChilkatDelphi32.dll -> #1\n" + Bound +
         "FreeLibrary #1\nDllHandle 0\n"},
};

// Names the row in test output instead of a byte dump.
void PrintTo(const LoadCase &row, std::ostream *out) {
    *out << row.name;
}

class LoadSteps : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadSteps, MakesExactlyTheseLoaderCalls) {
    const LoadCase &row = GetParam();
    const fs::path probe = Built(WINTEST_PROBE);
    const fs::path fake = Built(WINTEST_FAKE);
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

    const std::wstring args = Replace(Widened(row.args), std::wstring(L"{fake}"), Quoted(fake));
    const Finished run =
        RunProgram(program, args, row.searchPath ? fake.parent_path() : fs::path());

    std::string expected = Replace(row.expected, std::string("{fake}"), Utf8(fake));
    expected = Replace(expected, std::string("{own}"), Utf8(program.parent_path()));
    const std::string command = Utf8(program) + " " + row.args;
    EXPECT_EQ(expected, run.output) << "command: " << command;
    EXPECT_EQ(0u, run.exitCode) << "command: " << command;
}

INSTANTIATE_TEST_SUITE_P(, LoadSteps, testing::ValuesIn(LoadCases),
                         [](const testing::TestParamInfo<LoadCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
