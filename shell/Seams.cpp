#include "Seams.h"

#include "FolderDialog.h"
#include "Platform.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <chrono>
#include <thread>

namespace shell::seams {

std::function<void()> ProcessMessages = [] { QCoreApplication::processEvents(); };

std::function<void(int)> Sleep = [](int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
};

std::function<int(QMessageBox &)> ExecMessageBox = [](QMessageBox &box) { return box.exec(); };

std::function<std::optional<QString>(FolderDialog &)> ExecFolderDialog = [](FolderDialog &dialog) {
    return dialog.exec();
};

std::function<void(QWidget *, const QString &)> OpenAddress = &platform::ShellOpen;

} // namespace shell::seams
