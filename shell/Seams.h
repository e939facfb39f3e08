// The points where the shell waits for a person or hands work to the desktop. Each receives the
// fully configured dialog or request; tests replace them to answer without anyone at the screen
// and to see what would have been shown.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace shell::seams {

// Runs a message box modally and gives the button pressed.
extern std::function<int(QMessageBox &box)> ExecMessageBox;

// Runs a folder dialog modally; gives the chosen folder's full path, or nothing on cancel.
extern std::function<std::optional<QString>(QFileDialog &dialog)> ExecFolderDialog;

// Opens a web address in the default browser.
extern std::function<void(QWidget *owner, const QString &address)> OpenAddress;

} // namespace shell::seams
