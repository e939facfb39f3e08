// The pickers' folder dialog: the platform's own, set up whole at construction, shown by exec()
// and released with this object. FolderDialog_win.cpp holds the Windows common item dialog,
// FolderDialog_posix.cpp Qt's file dialog.
#pragma once

#include <QString>

#include <memory>
#include <optional>

class QFileDialog;
class QWidget;
struct IFileOpenDialog;

namespace shell {

// The dialog object inside, for a look at what it was really given.
#ifdef _WIN32
using NativeFolderDialog = IFileOpenDialog;
#else
using NativeFolderDialog = QFileDialog;
#endif

class FolderDialog {
public:
    // Shown over owner's window. A startFolder that is not empty is both the folder the dialog
    // opens in and its initial file name.
    FolderDialog(QWidget *owner, const QString &title, const QString &acceptLabel,
                 const QString &startFolder);
    ~FolderDialog();
    FolderDialog(const FolderDialog &) = delete;
    FolderDialog &operator=(const FolderDialog &) = delete;

    QString title() const;
    QString acceptLabel() const;
    // The folder it opens in, as far as the platform tells before showing it.
    QString startFolder() const;
    // One existing file-system folder and nothing else can be chosen.
    bool picksExistingFoldersOnly() const;
    // The rest of the program takes no input while it is shown.
    bool modal() const;

    // Shows the dialog and waits: the chosen folder's full path with the PC's separators, or
    // nothing when the person cancelled (or the platform could give no dialog).
    std::optional<QString> exec();

    NativeFolderDialog *native() const;

private:
    struct Platform;
    std::unique_ptr<Platform> platform_;
};

} // namespace shell
