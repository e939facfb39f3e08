// The pickers' folder dialog on Windows: the common item dialog itself, set up with exactly the
// folder-picking options, the accept label, the start folder as folder and file name; shown
// modally with the thread's other windows held off; the accepted folder's path or, on cancel,
// nothing; and released with its owner. A timer in the dialog's own message loop plays the
// person at the screen.
#include "Win32FolderDialog.h"

#include <windows.h>

#include <shobjidl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace {

using shell::win32::FolderDialog;

// The test's own apartment, so that objects it keeps outlive a dialog's.
class ComApartment : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { CoUninitialize(); }
};

std::wstring TempFolder(const wchar_t *name) {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder);
    return folder.wstring();
}

std::wstring FileName(IFileOpenDialog &dialog) {
    wchar_t *name = nullptr;
    if (FAILED(dialog.GetFileName(&name)) || name == nullptr) {
        return {};
    }
    std::wstring copy = name;
    CoTaskMemFree(name);
    return copy;
}

class Window {
public:
    explicit Window(DWORD style)
        : window_(CreateWindowExW(0, L"STATIC", L"tavrin", WS_OVERLAPPEDWINDOW | style, 0, 0, 200,
                                  100, nullptr, nullptr, nullptr, nullptr)) {}
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
    ~Window() { DestroyWindow(window_); }
    HWND get() const { return window_; }
    std::uintptr_t id() const { return reinterpret_cast<std::uintptr_t>(window_); }
    bool enabled() const { return IsWindowEnabled(window_) != FALSE; }

private:
    HWND window_;
};

using FolderDialogSetUp = ComApartment;

TEST_F(FolderDialogSetUp, PicksFoldersWithExactlyTheThreeOptions) {
    const std::wstring start = TempFolder(L"tavrin-picker-start");
    for (const std::wstring &folder : {start, std::wstring()}) {
        SCOPED_TRACE(folder.empty() ? "no start folder" : "start folder");
        FolderDialog dialog(L"Select Directory", L"Select", folder);
        ASSERT_NE(nullptr, dialog.native());
        IFileOpenDialog *asked = nullptr;
        ASSERT_TRUE(SUCCEEDED(dialog.native()->QueryInterface(IID_PPV_ARGS(&asked))));
        FILEOPENDIALOGOPTIONS options = 0;
        EXPECT_TRUE(SUCCEEDED(asked->GetOptions(&options)));
        EXPECT_EQ(0x860u, static_cast<unsigned>(options));
        EXPECT_EQ(0x860u, dialog.options());
        EXPECT_EQ(folder, FileName(*asked));
        if (!folder.empty()) {
            EXPECT_EQ(folder, dialog.folder());
        }
        asked->Release();
    }
}

TEST_F(FolderDialogSetUp, IsReleasedWithItsOwner) {
    IFileOpenDialog *kept = nullptr;
    {
        FolderDialog dialog(L"Select Directory", L"Select", L"");
        kept = dialog.native();
        ASSERT_NE(nullptr, kept);
        kept->AddRef();
    }
    EXPECT_EQ(0u, kept->Release());
}

using WindowsHeldOff = ComApartment;

TEST_F(WindowsHeldOff, OthersOnlyAndOnlyWhileAlive) {
    const Window owner(WS_VISIBLE);
    const Window other(WS_VISIBLE);
    const Window alreadyDisabled(WS_VISIBLE | WS_DISABLED);
    {
        const shell::win32::ThreadWindowsDisabled held(owner.id());
        EXPECT_TRUE(owner.enabled());
        EXPECT_FALSE(other.enabled());
        EXPECT_FALSE(alreadyDisabled.enabled());
    }
    EXPECT_TRUE(owner.enabled());
    EXPECT_TRUE(other.enabled());
    EXPECT_FALSE(alreadyDisabled.enabled()) << "a window disabled before stays so";
}

// What the person does once the dialog is up, and what was seen of the windows then.
struct Person {
    std::function<void(HWND dialogWindow)> act;
    bool sawDialog = false;
    std::wstring title;
    std::wstring acceptLabel;
    bool ownerEnabled = true;
    bool otherEnabled = true;
};
Person *person = nullptr;
const Window *watchedOwner = nullptr;
const Window *watchedOther = nullptr;

std::wstring WindowText(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

BOOL CALLBACK FindDialogWindow(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (IsWindowVisible(window) && std::wstring(className) == L"#32770") {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AtTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialogWindow = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialogWindow,
                      reinterpret_cast<LPARAM>(&dialogWindow));
    if (dialogWindow == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    person->sawDialog = true;
    person->title = WindowText(dialogWindow);
    person->acceptLabel = WindowText(GetDlgItem(dialogWindow, IDOK));
    person->ownerEnabled = watchedOwner->enabled();
    person->otherEnabled = watchedOther->enabled();
    person->act(dialogWindow);
}

struct ShowCase {
    const char *name;
    bool accept;
};

void PrintTo(const ShowCase &row, std::ostream *out) {
    *out << row.name;
}

class FolderDialogShown : public ComApartment, public testing::WithParamInterface<ShowCase> {};

TEST_P(FolderDialogShown, IsModalAndGivesTheAcceptedFolderOnly) {
    const bool accept = GetParam().accept;
    const std::wstring start = TempFolder(L"tavrin-picker-shown");
    const Window owner(WS_VISIBLE);
    const Window other(WS_VISIBLE);
    FolderDialog dialog(L"Select Directory", L"Select", start);
    ASSERT_NE(nullptr, dialog.native());
    Person someone;
    someone.act = [accept](HWND dialogWindow) {
        PostMessageW(dialogWindow, WM_COMMAND, accept ? IDOK : IDCANCEL, 0);
    };
    person = &someone;
    watchedOwner = &owner;
    watchedOther = &other;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AtTimer);
    ASSERT_NE(0u, timer);
    const std::optional<std::wstring> chosen = dialog.show(owner.id());
    KillTimer(nullptr, timer);
    person = nullptr;

    ASSERT_TRUE(someone.sawDialog);
    EXPECT_EQ(L"Select Directory", someone.title);
    EXPECT_EQ(L"Select", someone.acceptLabel);
    EXPECT_FALSE(someone.ownerEnabled) << "the owner takes no input while the dialog is up";
    EXPECT_FALSE(someone.otherEnabled) << "nor do the thread's other windows";
    EXPECT_TRUE(owner.enabled());
    EXPECT_TRUE(other.enabled());
    if (accept) {
        EXPECT_EQ(std::optional<std::wstring>(start), chosen);
    } else {
        EXPECT_EQ(std::nullopt, chosen);
    }
}

const ShowCase ShowCases[] = {{"Accepted", true}, {"Cancelled", false}};

INSTANTIATE_TEST_SUITE_P(, FolderDialogShown, testing::ValuesIn(ShowCases),
                         [](const testing::TestParamInfo<ShowCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
