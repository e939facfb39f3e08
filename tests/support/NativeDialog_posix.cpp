#include "NativeDialog.h"

#include "FolderDialog.h"

#include <QFileDialog>
#include <QPointer>

NativeDialogLook LookAt(const shell::FolderDialog &dialog) {
    NativeDialogLook look;
    const QFileDialog *native = qobject_cast<const QFileDialog *>(dialog.native());
    if (native == nullptr) {
        return look;
    }
    look.platformDialog = true;
    look.exactlyFolderPicking = native->fileMode() == QFileDialog::Directory &&
                                native->acceptMode() == QFileDialog::AcceptOpen &&
                                native->options() == QFileDialog::ShowDirsOnly;
    look.folder = native->directory().absolutePath();
    return look;
}

struct NativeDialogWatch::Watched {
    QPointer<QFileDialog> dialog;
};

NativeDialogWatch::NativeDialogWatch(const shell::FolderDialog &dialog)
    : watched_(std::make_unique<Watched>(Watched{dialog.native()})) {}
NativeDialogWatch::~NativeDialogWatch() = default;
NativeDialogWatch::NativeDialogWatch(NativeDialogWatch &&) noexcept = default;
NativeDialogWatch &NativeDialogWatch::operator=(NativeDialogWatch &&) noexcept = default;

bool NativeDialogWatch::held() const {
    return !watched_->dialog.isNull();
}
