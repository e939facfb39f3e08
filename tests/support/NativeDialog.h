// A look past shell::FolderDialog at the platform's own dialog inside it: the Windows common item
// dialog through COM, Qt's file dialog elsewhere. NativeDialog_win.cpp and NativeDialog_posix.cpp
// hold the two.
#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace shell {
class FolderDialog;
}

struct NativeDialogLook {
    // Windows: the object answers for IFileOpenDialog. Elsewhere: it is a QFileDialog.
    bool platformDialog = false;
    // Windows: GetOptions gives exactly 0x860. Elsewhere: folders only, shown as such, to open,
    // and no option but ShowDirsOnly.
    bool exactlyFolderPicking = false;
    // The folder it opens in, as the dialog gives it back.
    QString folder;
    // Windows: the initial file name, as GetFileName gives it. Qt's dialog splits a path it is
    // given as file name into folder and name, and gives back neither as given: nothing.
    std::optional<QString> fileName;
};

NativeDialogLook LookAt(const shell::FolderDialog &dialog);

// Tells, after the FolderDialog is gone, whether the platform's dialog is gone with it. On
// Windows it holds a reference of its own meanwhile, so the object is still there to be asked.
class NativeDialogWatch {
public:
    explicit NativeDialogWatch(const shell::FolderDialog &dialog);
    ~NativeDialogWatch();
    NativeDialogWatch(NativeDialogWatch &&) noexcept;
    NativeDialogWatch &operator=(NativeDialogWatch &&) noexcept;

    // Something other than this watch still holds the dialog.
    bool held() const;

private:
    struct Watched;
    std::unique_ptr<Watched> watched_;
};
