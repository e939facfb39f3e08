#include "Platform.h"

#include "win/Win32Shell.h"

#include <QWidget>

namespace shell::platform {

std::optional<FileVersion> ProgramFileVersion() {
    return win32::ProgramFileVersion();
}

void ShellOpen(QWidget *owner, const QString &address) {
    const std::uintptr_t window =
        owner != nullptr ? static_cast<std::uintptr_t>(owner->window()->winId()) : 0;
    // wchar_t is UTF-16 on Windows, and utf16() is null-terminated.
    win32::ShellOpen(window, reinterpret_cast<const wchar_t *>(address.utf16()));
}

void AddPrivateFonts() {
    // Windows has Tahoma itself.
}

QColor DesktopColour() {
    const std::array<std::uint8_t, 3> colour = win32::DesktopColour();
    return QColor(colour[0], colour[1], colour[2]);
}

} // namespace shell::platform
