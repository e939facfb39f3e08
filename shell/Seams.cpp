#include "Seams.h"

#include "PcSeparator.h"
#include "Platform.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <chrono>
#include <thread>

namespace shell::seams {

std::function<void()> ProcessMessages = [] { QCoreApplication::processEvents(); };

std::function<void(int)> Sleep = [](int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
};

std::function<int(QMessageBox &)> ExecMessageBox = [](QMessageBox &box) { return box.exec(); };

std::function<std::optional<QString>(QFileDialog &)> ExecFolderDialog =
    [](QFileDialog &dialog) -> std::optional<QString> {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // Qt writes '/' between folders; the programs write the PC's own separator.
    QString folder = dialog.selectedFiles().constFirst();
    folder.replace(QLatin1Char('/'), QChar(pcpath::Separator));
    return folder;
};

std::function<void(QWidget *, const QString &)> OpenAddress = &platform::ShellOpen;

} // namespace shell::seams
