// Starts a program of the package from its own folder, as a double-click does, waits for its
// main window and checks the caption, then ends it the way a technician does: "&File", "&Exit"
// from the keyboard. Succeeds only when the caption matches and the program then ends by itself
// with status 0.
//   programdriver.exe PROGRAM.exe "CAPTION"
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring &text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

struct Search {
    DWORD process = 0;
    HWND window = nullptr;
};

BOOL CALLBACK MainWindowOf(HWND window, LPARAM search) {
    auto &s = *reinterpret_cast<Search *>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == s.process && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr &&
        GetWindowTextLengthW(window) > 0) {
        s.window = window;
        return FALSE;
    }
    return TRUE;
}

void Key(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    Sleep(50);
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

} // namespace

int main() {
    int argc = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc),
                                                       &LocalFree);
    if (argc != 3) {
        std::fputs("usage: programdriver.exe PROGRAM.exe \"CAPTION\"\n", stderr);
        return 2;
    }
    const std::wstring program = argv.get()[1];
    const std::wstring caption = argv.get()[2];
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", Utf8(program).c_str(), GetLastError());
        return 1;
    }
    const Handle process(info.hProcess);
    const Handle thread(info.hThread);

    Search search{info.dwProcessId, nullptr};
    for (int i = 0; i < 600 && search.window == nullptr; ++i) {
        if (WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0) {
            std::fputs("the program ended before it showed a window\n", stderr);
            return 1;
        }
        EnumWindows(&MainWindowOf, reinterpret_cast<LPARAM>(&search));
    }
    if (search.window == nullptr) {
        std::fputs("no window within 60 s\n", stderr);
        TerminateProcess(process.get(), 1);
        return 1;
    }
    // The caption is complete once the window has been shown.
    std::wstring title;
    for (int i = 0; i < 50; ++i) {
        std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(search.window)) +
                                  1);
        GetWindowTextW(search.window, text.data(), static_cast<int>(text.size()));
        title = text.data();
        if (title == caption) {
            break;
        }
        Sleep(100);
    }
    std::printf("caption: [%s]\n", Utf8(title).c_str());
    if (title != caption) {
        std::fprintf(stderr, "expected the caption [%s]\n", Utf8(caption).c_str());
        TerminateProcess(process.get(), 1);
        return 1;
    }

    SetForegroundWindow(search.window);
    Sleep(500);
    Key(VK_MENU, true);
    Key('F', true);
    Key('F', false);
    Key(VK_MENU, false);
    Sleep(500);
    Key('E', true);
    Key('E', false);
    if (WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
        std::fputs("the program did not end through &File, &Exit within 30 s\n", stderr);
        TerminateProcess(process.get(), 1);
        return 1;
    }
    DWORD status = 1;
    GetExitCodeProcess(process.get(), &status);
    std::printf("ended through &File, &Exit with status %lu\n", status);
    return status == 0 ? 0 : 1;
}
