#include "FolderDialog.h"

#include "PcSeparator.h"

#include <QFileDialog>

namespace shell {

struct FolderDialog::Platform {
    Platform(QWidget *owner, const QString &title) : dialog(owner, title) {}
    QFileDialog dialog;
};

FolderDialog::FolderDialog(QWidget *owner, const QString &title, const QString &acceptLabel,
                           const QString &startFolder)
    : platform_(std::make_unique<Platform>(owner, title)) {
    QFileDialog &dialog = platform_->dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setLabelText(QFileDialog::Accept, acceptLabel);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (!startFolder.isEmpty()) {
        // Naming the folder as the file first, then opening in it, leaves the dialog inside the
        // folder with its name offered, rather than in its parent.
        dialog.selectFile(startFolder);
        dialog.setDirectory(startFolder);
    }
}

FolderDialog::~FolderDialog() = default;

QString FolderDialog::title() const {
    return platform_->dialog.windowTitle();
}

QString FolderDialog::acceptLabel() const {
    return platform_->dialog.labelText(QFileDialog::Accept);
}

QString FolderDialog::startFolder() const {
    return platform_->dialog.directory().absolutePath();
}

bool FolderDialog::picksExistingFoldersOnly() const {
    const QFileDialog &dialog = platform_->dialog;
    return dialog.fileMode() == QFileDialog::Directory &&
           dialog.testOption(QFileDialog::ShowDirsOnly) &&
           dialog.acceptMode() == QFileDialog::AcceptOpen;
}

bool FolderDialog::modal() const {
    return platform_->dialog.windowModality() == Qt::ApplicationModal;
}

std::optional<QString> FolderDialog::exec() {
    QFileDialog &dialog = platform_->dialog;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // Qt writes '/' between folders; the programs write the PC's own separator.
    QString folder = dialog.selectedFiles().constFirst();
    folder.replace(QLatin1Char('/'), QChar(pcpath::Separator));
    return folder;
}

NativeFolderDialog *FolderDialog::native() const {
    return &platform_->dialog;
}

} // namespace shell
