#include "Win32FolderDialog.h"

#include <windows.h>

#include <shobjidl.h>

namespace shell::win32 {
namespace {

struct ReleaseItem {
    void operator()(IShellItem *item) const { item->Release(); }
};
using ShellItem = std::unique_ptr<IShellItem, ReleaseItem>;

struct FreeTaskMemory {
    void operator()(wchar_t *text) const { CoTaskMemFree(text); }
};
using TaskText = std::unique_ptr<wchar_t, FreeTaskMemory>;

std::wstring FileSystemPath(IShellItem &item) {
    wchar_t *path = nullptr;
    if (FAILED(item.GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
        return {};
    }
    const TaskText owned(path);
    return owned.get();
}

BOOL CALLBACK CollectEnabled(HWND window, LPARAM collected) {
    auto &[keep, windows] = *reinterpret_cast<std::pair<HWND, std::vector<HWND>> *>(collected);
    if (window != keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        windows.push_back(window);
    }
    return TRUE;
}

} // namespace

FolderDialog::Apartment::Apartment()
    // S_FALSE (already entered, as under Qt) counts too: every success is matched by an exit.
    : entered(
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

FolderDialog::Apartment::~Apartment() {
    if (entered) {
        CoUninitialize();
    }
}

void FolderDialog::Release::operator()(IFileOpenDialog *dialog) const {
    dialog->Release();
}

FolderDialog::FolderDialog(const std::wstring &title, const std::wstring &acceptLabel,
                           const std::wstring &startFolder) {
    IFileOpenDialog *created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&created)))) {
        return;
    }
    dialog_.reset(created);
    // The options go first: turning on folder picking may put the dialog's own title in place.
    dialog_->SetOptions(FolderPickOptions);
    dialog_->SetTitle(title.c_str());
    dialog_->SetOkButtonLabel(acceptLabel.c_str());
    if (!startFolder.empty()) {
        IShellItem *folder = nullptr;
        if (SUCCEEDED(
                SHCreateItemFromParsingName(startFolder.c_str(), nullptr, IID_PPV_ARGS(&folder)))) {
            const ShellItem owned(folder);
            dialog_->SetFolder(folder);
        }
        dialog_->SetFileName(startFolder.c_str());
    }
}

FolderDialog::~FolderDialog() = default;

unsigned long FolderDialog::options() const {
    FILEOPENDIALOGOPTIONS options = 0;
    if (!dialog_ || FAILED(dialog_->GetOptions(&options))) {
        return 0;
    }
    return options;
}

std::wstring FolderDialog::folder() const {
    IShellItem *folder = nullptr;
    if (!dialog_ || FAILED(dialog_->GetFolder(&folder)) || folder == nullptr) {
        return {};
    }
    const ShellItem owned(folder);
    return FileSystemPath(*folder);
}

std::optional<std::wstring> FolderDialog::show(std::uintptr_t ownerWindow) {
    if (!dialog_) {
        return std::nullopt;
    }
    HRESULT shown = E_FAIL;
    {
        const ThreadWindowsDisabled others(ownerWindow);
        shown = dialog_->Show(reinterpret_cast<HWND>(ownerWindow));
    }
    // Cancel comes back as HRESULT_FROM_WIN32(ERROR_CANCELLED); any other failure is a cancel too.
    IShellItem *chosen = nullptr;
    if (FAILED(shown) || FAILED(dialog_->GetResult(&chosen)) || chosen == nullptr) {
        return std::nullopt;
    }
    const ShellItem owned(chosen);
    std::wstring path = FileSystemPath(*chosen);
    if (path.empty()) {
        return std::nullopt;
    }
    return path;
}

ThreadWindowsDisabled::ThreadWindowsDisabled(std::uintptr_t keep) {
    // Collected first, disabled after: the walk does not see windows change under it.
    std::pair<HWND, std::vector<HWND>> collected{reinterpret_cast<HWND>(keep), {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&collected));
    for (HWND window : collected.second) {
        EnableWindow(window, FALSE);
        disabled_.push_back(reinterpret_cast<std::uintptr_t>(window));
    }
}

ThreadWindowsDisabled::~ThreadWindowsDisabled() {
    for (const std::uintptr_t window : disabled_) {
        EnableWindow(reinterpret_cast<HWND>(window), TRUE);
    }
}

} // namespace shell::win32
