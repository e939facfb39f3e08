// A program that prints the version its own file carries, as the window shell reads it on
// Windows ("1.0.0.5"), or "none" when the file has no version resource. Built like the real
// programs, with the generated resource, in one copy per version under test.
#include "Win32Shell.h"

#include <windows.h>

#include <string>

int main() {
    const auto version = shell::win32::ProgramFileVersion();
    std::string text = "none";
    if (version) {
        text = std::to_string((*version)[0]) + "." + std::to_string((*version)[1]) + "." +
               std::to_string((*version)[2]) + "." + std::to_string((*version)[3]);
    }
    text += "\n";
    // The real programs are window programs: no console, only the handles they are given.
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
    return 0;
}
