// Every point where the programs wait, for a person, for the window or for time, or hand work
// to the desktop. Tests replace them to answer without anyone at the screen, to see what would
// have been shown and where the pauses fall, without waiting. A dialog seam receives the fully
// configured dialog or request.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QMessageBox;
class QWidget;

namespace shell {
class FolderDialog;
}

namespace shell::seams {

// Lets the window handle every message waiting for it, painting and queued clicks included
// (a click runs its operation right here), then returns.
extern std::function<void()> ProcessMessages;

// Blocks the window thread; the window neither repaints nor answers meanwhile. The board's
// reboot is handed this one too.
extern std::function<void(int ms)> Sleep;

// Runs a message box modally and gives the button pressed.
extern std::function<int(QMessageBox &box)> ExecMessageBox;

// Runs a folder dialog modally; gives the chosen folder's full path, or nothing on cancel.
extern std::function<std::optional<QString>(FolderDialog &dialog)> ExecFolderDialog;

// Opens a web address in the default browser.
extern std::function<void(QWidget *owner, const QString &address)> OpenAddress;

} // namespace shell::seams
