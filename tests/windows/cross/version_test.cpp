// The version a program file carries, read back by the window shell's Windows code from the
// running program's own file: programs built with the programs' own resource template, one
// per version, and one without any version resource.
#include "Process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

using namespace wintest;

namespace {

struct VersionCase {
    const char *name;
    const char *program; // beside the test program
    const char *expected;
};

const VersionCase VersionCases[] = {
    {"OrvanesVersion", "VersionProbe-1.0.0.5.exe", "1.0.0.5\n"},
    {"ZeroAndFullParts", "VersionProbe-0.0.65535.1.exe", "0.0.65535.1\n"},
    {"NoVersionResource", "VersionProbe-none.exe", "none\n"},
};

void PrintTo(const VersionCase &row, std::ostream *out) {
    *out << row.name;
}

class ProgramFileVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(ProgramFileVersion, IsReadFromTheProgramsOwnFile) {
    const VersionCase &row = GetParam();
    const std::filesystem::path program = OwnFolder() / row.program;
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    const Finished run = RunProgram(program, L"");
    EXPECT_EQ(row.expected, run.output) << program;
    EXPECT_EQ(0u, run.exitCode) << program;
}

INSTANTIATE_TEST_SUITE_P(, ProgramFileVersion, testing::ValuesIn(VersionCases),
                         [](const testing::TestParamInfo<VersionCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
