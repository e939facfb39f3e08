// The window shell's calls into Win32, free of Qt so that they build and run on their own
// (the Windows tests cross-build them with mingw-w64 and run them under Wine, where there is no
// Windows build of Qt). Platform_win.cpp turns Qt's types into these and back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace shell::win32 {

// The fixed file version (four parts, most significant first) from the running program file's
// version resource, or nothing when the file carries none or it cannot be read.
std::optional<std::array<std::uint16_t, 4>> ProgramFileVersion();

// ShellExecuteW "open" of a null-terminated address, owned by the given top-level window
// handle (0: no owner). Failures are silent: the caller has nothing to show them in.
void ShellOpen(std::uintptr_t ownerWindow, const wchar_t *address);

// The desktop's system colour as red, green and blue.
std::array<std::uint8_t, 3> DesktopColour();

// Under Wine, the Windows path of a file of the Unix system beneath it; empty on Windows itself,
// which has no such system, and for a file that does not exist.
std::wstring WineFilePath(const char *unixPath);

} // namespace shell::win32
