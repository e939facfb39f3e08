#include "Platform.h"

#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QUrl>

namespace shell::platform {

std::optional<FileVersion> ProgramFileVersion() {
    return std::nullopt;
}

void ShellOpen(QWidget * /*owner*/, const QString &address) {
    QDesktopServices::openUrl(QUrl(address));
}

void AddPrivateFonts() {
    // Debian's fonts-wine installs a free Tahoma without registering it with fontconfig.
    for (const char *file :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        if (QFile::exists(QLatin1String(file))) {
            QFontDatabase::addApplicationFont(QLatin1String(file));
        }
    }
}

QString SansFamily() {
    // fontconfig's alias for the desktop's sans face.
    return QStringLiteral("Sans Serif");
}

QColor DesktopColour() {
    // Desktops here have no such system colour; black is what Windows reports by default.
    return QColor(0, 0, 0);
}

} // namespace shell::platform
