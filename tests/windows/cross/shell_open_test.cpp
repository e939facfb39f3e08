// The window shell's "open this address" on Windows: one ShellExecuteW with the verb "open",
// the owner window, the address, no parameters, no folder and SW_SHOW. The call is caught in
// the program's import table before it reaches the shell, so no browser is started.
#include "ImportPatch.h"
#include "Win32Shell.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace wintest;

namespace {

std::string Shown(LPCWSTR text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::string shown = "[";
    for (; *text != 0; ++text) {
        shown += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return shown + "]";
}

std::vector<std::string> calls;

HINSTANCE WINAPI RecordShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                     LPCWSTR folder, INT show) {
    calls.push_back("ShellExecuteW " + std::to_string(reinterpret_cast<std::uintptr_t>(owner)) +
                    " " + Shown(verb) + " " + Shown(file) + " " + Shown(parameters) + " " +
                    Shown(folder) + " " + std::to_string(show));
    // What the shell gives for success; the caller does not look.
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
}

struct OpenCase {
    const char *name;
    std::uintptr_t owner; // 0: no owner window at all
    const wchar_t *address;
    const char *expected;
};

const OpenCase OpenCases[] = {
    {"FromTheAboutBox", 0x1234, L"https://tavrin.invalid/",
     "ShellExecuteW 4660 [open] [https://tavrin.invalid/] (null) (null) 5"},
    {"WithoutOwner", 0, L"https://tavrin.invalid/a?b=c&d",
     "ShellExecuteW 0 [open] [https://tavrin.invalid/a?b=c&d] (null) (null) 5"},
};

void PrintTo(const OpenCase &row, std::ostream *out) {
    *out << row.name;
}

class ShellOpen : public testing::TestWithParam<OpenCase> {};

TEST_P(ShellOpen, CallsShellExecuteOnceWithOpen) {
    const OpenCase &row = GetParam();
    calls.clear();
    // Throws, before anything is opened, if the shell code does not call ShellExecuteW itself.
    const ImportPatch caught("SHELL32.dll", "ShellExecuteW",
                             reinterpret_cast<void *>(&RecordShellExecuteW));
    shell::win32::ShellOpen(row.owner, row.address);
    EXPECT_EQ(std::vector<std::string>{row.expected}, calls);
}

INSTANTIATE_TEST_SUITE_P(, ShellOpen, testing::ValuesIn(OpenCases),
                         [](const testing::TestParamInfo<OpenCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
