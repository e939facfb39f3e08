#include "Application.h"

#include "Seams.h"

#include <QFileInfo>
#include <QMessageBox>

namespace shell {

namespace {
// The sizes the icon generator draws, 16 to 256 px.
constexpr int IconSizes[] = {TAVRIN_ICON_SIZES};
} // namespace

QString ApplicationTitle(const QString &programFile) {
    // Both separators count, so a Windows path gives the same title everywhere.
    QString name = programFile.mid(qMax(programFile.lastIndexOf(QLatin1Char('/')),
                                        programFile.lastIndexOf(QLatin1Char('\\'))) +
                                   1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        name.truncate(dot);
    }
    if (name.size() > 1) {
        name = name.left(1) + name.mid(1).toLower();
    }
    return name;
}

QString ErrorBoxText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

void ShowErrorBox(const QString &message) {
    QMessageBox box(QMessageBox::Critical,
                    ApplicationTitle(QCoreApplication::applicationFilePath()),
                    ErrorBoxText(message), QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    seams::ExecMessageBox(box);
}

void ReportEscapedError(std::exception_ptr error) noexcept {
    QString message;
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    try {
        ShowErrorBox(message);
    } catch (...) {
        // Nothing sensible is left to tell the user with; the window goes on.
    }
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : IconSizes) {
        icon.addFile(QStringLiteral(":/tavrin/icon-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setWindowIcon(ApplicationIcon());
}

bool TApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportEscapedError(std::current_exception());
        return true;
    }
}

} // namespace shell
