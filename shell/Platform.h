// What the window shell needs from the operating system, decided here once per concern;
// Platform_win.cpp and Platform_posix.cpp hold the two answers.
#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QWidget;

namespace shell::platform {

using FileVersion = std::array<std::uint16_t, 4>;

// The fixed file version from the running program file's version resource, or nothing when the
// file carries none (always so outside Windows, where program files have no such resource).
std::optional<FileVersion> ProgramFileVersion();

// Hands an address to the desktop, which opens it in the default browser. Failures are silent.
void ShellOpen(QWidget *owner, const QString &address);

// Makes fonts known to the program that the system has but does not list: Wine's Tahoma, for
// instance, which matches the widths the window layout was drawn for.
void AddPrivateFonts();

// The system's own sans face, for a program where Tahoma cannot be found.
QString SansFamily();

// The desktop's background colour, in which Orvane's status caption is drawn.
QColor DesktopColour();

} // namespace shell::platform
