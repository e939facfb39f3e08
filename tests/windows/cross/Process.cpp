#include "Process.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

namespace wintest {
namespace {

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() { Close(); }
    HANDLE Get() const { return handle_; }
    HANDLE *Out() { return &handle_; }
    void Close() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(std::exchange(handle_, nullptr));
        }
    }

private:
    HANDLE handle_ = nullptr;
};

[[noreturn]] void Fail(const std::string &what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

std::optional<std::wstring> Variable(const wchar_t *name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// Sets PATH for the lifetime of the object; the child inherits the driver's environment.
class PathInFront {
public:
    explicit PathInFront(const std::filesystem::path &front) : saved_(Variable(L"PATH")) {
        if (!front.empty()) {
            const std::wstring path = front.wstring() + (saved_ ? L";" + *saved_ : L"");
            SetEnvironmentVariableW(L"PATH", path.c_str());
        }
    }
    PathInFront(const PathInFront &) = delete;
    PathInFront &operator=(const PathInFront &) = delete;
    ~PathInFront() { SetEnvironmentVariableW(L"PATH", saved_ ? saved_->c_str() : nullptr); }

private:
    std::optional<std::wstring> saved_;
};

} // namespace

Finished RunProgram(const std::filesystem::path &program, const std::wstring &arguments,
                    const std::filesystem::path &pathFront) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle readEnd;
    Handle writeEnd;
    if (!CreatePipe(readEnd.Out(), writeEnd.Out(), &inherit, 0)) {
        Fail("CreatePipe");
    }
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

    std::wstring commandLine = Quoted(program) + (arguments.empty() ? L"" : L" " + arguments);
    PROCESS_INFORMATION started{};
    {
        const PathInFront path(pathFront);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            nullptr, &startup, &started)) {
            Fail("CreateProcessW " + program.string());
        }
    }
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    writeEnd.Close(); // else the pipe never reports its end

    Finished finished{{}, 0};
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        finished.output.append(buffer, got);
    }
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    finished.exitCode = exitCode;
    return finished;
}

std::filesystem::path OwnFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            Fail("GetModuleFileNameW");
        }
        if (length < path.size()) {
            return std::filesystem::path(std::wstring(path.data(), length)).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

std::wstring Quoted(const std::filesystem::path &path) {
    return L"\"" + path.wstring() + L"\"";
}

TempFolder::TempFolder(const std::string &name)
    : path_(OwnFolder() / "scratch" / (name + "-" + std::to_string(GetCurrentProcessId()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace wintest
