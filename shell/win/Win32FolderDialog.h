// The Windows common item dialog in folder-picking mode, free of Qt like Win32Shell.h so that the
// Windows tests build and run it under Wine; FolderDialog_win.cpp turns Qt's types into these.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct IFileOpenDialog;

namespace shell::win32 {

// FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST, in place of the dialog's defaults.
inline constexpr unsigned long FolderPickOptions = 0x860;

// One dialog, set up at construction and released, with the COM apartment it was made in, at
// destruction. When COM or the dialog cannot be had, there is no dialog and show() cancels.
class FolderDialog {
public:
    // An empty startFolder leaves both the folder it opens in and its file name to the system.
    FolderDialog(const std::wstring &title, const std::wstring &acceptLabel,
                 const std::wstring &startFolder);
    ~FolderDialog();
    FolderDialog(const FolderDialog &) = delete;
    FolderDialog &operator=(const FolderDialog &) = delete;

    // The dialog object, or null. Still owned by this object.
    IFileOpenDialog *native() const { return dialog_.get(); }

    // The option word as the dialog reports it; 0 without a dialog.
    unsigned long options() const;

    // The file-system path of the folder it will open in; empty when none was set.
    std::wstring folder() const;

    // Shows the dialog modally over ownerWindow (a top-level window handle, 0 for none) and
    // waits: the file-system path of the accepted folder, or nothing when it was cancelled.
    std::optional<std::wstring> show(std::uintptr_t ownerWindow);

private:
    // Declared first so that it ends last, after the dialog is released.
    struct Apartment {
        Apartment();
        ~Apartment();
        Apartment(const Apartment &) = delete;
        Apartment &operator=(const Apartment &) = delete;
        bool entered;
    };
    struct Release {
        void operator()(IFileOpenDialog *dialog) const;
    };

    Apartment apartment_;
    std::unique_ptr<IFileOpenDialog, Release> dialog_;
};

// While alive, the calling thread's visible top-level windows other than `keep` take no input,
// as under a task-modal message box; afterwards exactly those it disabled are enabled again. The
// dialog itself disables only its owner.
class ThreadWindowsDisabled {
public:
    explicit ThreadWindowsDisabled(std::uintptr_t keep);
    ~ThreadWindowsDisabled();
    ThreadWindowsDisabled(const ThreadWindowsDisabled &) = delete;
    ThreadWindowsDisabled &operator=(const ThreadWindowsDisabled &) = delete;

private:
    std::vector<std::uintptr_t> disabled_;
};

} // namespace shell::win32
