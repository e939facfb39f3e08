#include "FolderDialog.h"

#include "win/Win32FolderDialog.h"

#include <QDir>
#include <QPointer>
#include <QWidget>

namespace shell {

struct FolderDialog::Platform {
    Platform(QWidget *owner, const QString &title, const QString &acceptLabel,
             const QString &startFolder)
        : owner(owner), title(title), acceptLabel(acceptLabel),
          // The shell parses a path with Windows' own separators only.
          dialog(title.toStdWString(), acceptLabel.toStdWString(),
                 QDir::toNativeSeparators(startFolder).toStdWString()) {}
    QPointer<QWidget> owner;
    // The dialog takes these but does not give them back.
    QString title;
    QString acceptLabel;
    win32::FolderDialog dialog;
};

FolderDialog::FolderDialog(QWidget *owner, const QString &title, const QString &acceptLabel,
                           const QString &startFolder)
    : platform_(std::make_unique<Platform>(owner, title, acceptLabel, startFolder)) {}

FolderDialog::~FolderDialog() = default;

QString FolderDialog::title() const {
    return platform_->title;
}

QString FolderDialog::acceptLabel() const {
    return platform_->acceptLabel;
}

QString FolderDialog::startFolder() const {
    return QString::fromStdWString(platform_->dialog.folder());
}

bool FolderDialog::picksExistingFoldersOnly() const {
    return platform_->dialog.options() == win32::FolderPickOptions;
}

bool FolderDialog::modal() const {
    // Shown with an owner, the common item dialog holds off the owner and every other window of
    // the program; tests/windows/cross/folder_dialog_test.cpp proves that on the dialog itself.
    // What is left to ask here is whether it has an owner's window to be modal over.
    return platform_->owner != nullptr && platform_->owner->window() != nullptr;
}

std::optional<QString> FolderDialog::exec() {
    const std::uintptr_t owner =
        platform_->owner != nullptr
            ? static_cast<std::uintptr_t>(platform_->owner->window()->winId())
            : 0;
    const std::optional<std::wstring> chosen = platform_->dialog.show(owner);
    if (!chosen) {
        return std::nullopt;
    }
    // The file-system path comes with Windows' own separators already.
    return QString::fromStdWString(*chosen);
}

NativeFolderDialog *FolderDialog::native() const {
    return platform_->dialog.native();
}

} // namespace shell
