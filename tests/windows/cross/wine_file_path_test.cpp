// The path through which the window shell reaches a file of the Unix system beneath Wine (Wine's
// own Tahoma): a Windows path to that same file, and nothing for a file that is not there. Run
// under Wine, as every test here; on Windows itself the answer is always empty.
#include "Win32Shell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WineFilePath, GivesAWindowsPathToTheUnixFile) {
    // Wine's own set-up file, there wherever Wine is.
    const std::wstring path = shell::win32::WineFilePath("/usr/share/wine/wine.inf");
    ASSERT_FALSE(path.empty());
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(path.find(L'/'), std::wstring::npos) << "a Windows path, with \\ only";
    EXPECT_TRUE(path.ends_with(L"\\usr\\share\\wine\\wine.inf"));
}

TEST(WineFilePath, NothingForAMissingFile) {
    EXPECT_EQ(shell::win32::WineFilePath("/usr/share/wine/fonts/no-such-font.ttf"), L"");
}

} // namespace
