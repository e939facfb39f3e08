#include "NativeDialog.h"

#include "FolderDialog.h"

#include <windows.h>

#include <shobjidl.h>

namespace {

template <typename Interface> struct ReleaseRef {
    void operator()(Interface *object) const { object->Release(); }
};
template <typename Interface> using Ref = std::unique_ptr<Interface, ReleaseRef<Interface>>;

QString TakeText(wchar_t *text) {
    const QString copy = text != nullptr ? QString::fromWCharArray(text) : QString();
    CoTaskMemFree(text);
    return copy;
}

} // namespace

NativeDialogLook LookAt(const shell::FolderDialog &dialog) {
    NativeDialogLook look;
    IFileOpenDialog *asked = nullptr;
    if (dialog.native() == nullptr ||
        FAILED(dialog.native()->QueryInterface(IID_IFileOpenDialog,
                                               reinterpret_cast<void **>(&asked)))) {
        return look;
    }
    const Ref<IFileOpenDialog> open(asked);
    look.platformDialog = true;
    FILEOPENDIALOGOPTIONS options = 0;
    look.exactlyFolderPicking = SUCCEEDED(open->GetOptions(&options)) && options == 0x860;
    wchar_t *name = nullptr;
    look.fileName = SUCCEEDED(open->GetFileName(&name)) ? TakeText(name) : QString();
    IShellItem *folder = nullptr;
    if (SUCCEEDED(open->GetFolder(&folder)) && folder != nullptr) {
        const Ref<IShellItem> held(folder);
        wchar_t *path = nullptr;
        if (SUCCEEDED(folder->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            look.folder = TakeText(path);
        }
    }
    return look;
}

// Its own apartment, entered before and left after its reference, which may be the last.
struct NativeDialogWatch::Watched {
    explicit Watched(IFileOpenDialog *dialog)
        : entered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))), dialog(dialog) {
        if (dialog != nullptr) {
            dialog->AddRef();
        }
    }
    Watched(const Watched &) = delete;
    Watched &operator=(const Watched &) = delete;
    ~Watched() {
        dialog.reset();
        if (entered) {
            CoUninitialize();
        }
    }
    bool entered;
    Ref<IFileOpenDialog> dialog;
};

NativeDialogWatch::NativeDialogWatch(const shell::FolderDialog &dialog)
    : watched_(std::make_unique<Watched>(dialog.native())) {}
NativeDialogWatch::~NativeDialogWatch() = default;
NativeDialogWatch::NativeDialogWatch(NativeDialogWatch &&) noexcept = default;
NativeDialogWatch &NativeDialogWatch::operator=(NativeDialogWatch &&) noexcept = default;

bool NativeDialogWatch::held() const {
    if (!watched_->dialog) {
        return false;
    }
    // AddRef's answer is the count of references; one is ours.
    watched_->dialog->AddRef();
    return watched_->dialog->Release() > 1;
}
