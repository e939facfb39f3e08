#include "Platform.h"

#include "win/Win32Shell.h"

#include <QFontDatabase>
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
    // Windows has Tahoma itself. Debian's Wine 8 lists only C:\windows\Fonts and fontconfig's
    // folders to programs, never the free Tahoma of its own fonts-wine, so that one is added
    // from there; outside Wine there is no such file to find.
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
        return;
    }
    for (const char *file :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        const std::wstring path = win32::WineFilePath(file);
        if (!path.empty()) {
            QFontDatabase::addApplicationFont(QString::fromStdWString(path));
        }
    }
}

QString SansFamily() {
    // Windows knows no "Sans Serif": a face it cannot find becomes whichever the font list
    // offers first. Its dialog face is mapped to the system's own UI font instead.
    return QStringLiteral("MS Shell Dlg 2");
}

QColor DesktopColour() {
    const std::array<std::uint8_t, 3> colour = win32::DesktopColour();
    return QColor(colour[0], colour[1], colour[2]);
}

} // namespace shell::platform
