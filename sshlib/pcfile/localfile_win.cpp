#include "localfile.h"

#include "PcSeparator.h"
#include "longpath.h"
#include "syserror_win.h"

#include <random>
#include <windows.h>

namespace sshlib::localfile {

namespace {
std::string sysError() {
    return windowsErrorText(GetLastError());
}

const wchar_t *wide(const std::u16string &s) {
    return reinterpret_cast<const wchar_t *>(s.c_str());
}

// The form every PC path takes on its way to the system, so that a file in a deep folder or on a
// share opens, is created, renamed and deleted like any other. A relative path is made absolute
// first: its length is only known then.
std::u16string systemPath(const std::u16string &path) {
    if (windowsPathForm(path) != PathForm::Relative)
        return windowsLongPath(path);
    const DWORD need = GetFullPathNameW(wide(path), 0, nullptr, nullptr);
    if (need == 0)
        return path;
    std::u16string full(need, u'\0');
    const DWORD got =
        GetFullPathNameW(wide(path), need, reinterpret_cast<wchar_t *>(full.data()), nullptr);
    if (got == 0 || got >= need)
        return path;
    full.resize(got);
    return full.size() < MaxPath ? path : windowsLongPath(full);
}

// Why a PC file cannot be opened for reading, in the technician's words where the system's
// would not tell them what to do.
std::string openErrorText(DWORD code) {
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
        return "it is in use by another program";
    return windowsErrorText(code);
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() { reset(); }
    void reset() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};
} // namespace

struct InputFile::Impl {
    Handle file;
    std::uint64_t size = 0;
    bool absent = false;
    bool inUse = false;
};

InputFile::InputFile() : impl_(std::make_unique<Impl>()) {}
InputFile::~InputFile() = default;

bool InputFile::open(const std::u16string &path, std::string &error) {
    impl_->absent = false;
    impl_->inUse = false;
    const std::u16string system = systemPath(path);
    // Others may read it meanwhile, never write it: what is sent is what was there.
    impl_->file.h = CreateFileW(wide(system), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (impl_->file.h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const DWORD attrs = GetFileAttributesW(wide(system));
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
            error = "it is a folder, not a file";
            impl_->absent = true;
            return false;
        }
        error = openErrorText(code);
        impl_->absent = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
        impl_->inUse = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(impl_->file.h, &info)) {
        error = sysError();
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "it is a folder, not a file";
        impl_->absent = true;
        return false;
    }
    impl_->size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

bool InputFile::absent() const {
    return impl_->absent;
}

bool InputFile::inUse() const {
    return impl_->inUse;
}

std::uint64_t InputFile::size() const {
    return impl_->size;
}

long long InputFile::read(void *buffer, std::size_t length, std::string &error) {
    DWORD got = 0;
    const DWORD want = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
    if (!ReadFile(impl_->file.h, buffer, want, &got, nullptr)) {
        error = sysError();
        return -1;
    }
    return got;
}

struct ReplacingFile::Impl {
    Handle file;
    std::u16string temp;
    std::u16string destination;
    bool committed = false;
};

ReplacingFile::ReplacingFile() : impl_(std::make_unique<Impl>()) {}

ReplacingFile::~ReplacingFile() {
    impl_->file.reset();
    if (!impl_->committed && !impl_->temp.empty())
        DeleteFileW(wide(systemPath(impl_->temp)));
}

bool ReplacingFile::create(const std::u16string &destination, std::string &error) {
    impl_->destination = destination;
    const DWORD attrs = GetFileAttributesW(wide(systemPath(destination)));
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "the destination is a folder";
        return false;
    }
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string suffix = ".part-" + std::to_string(rd() % 1000000);
        std::u16string temp = destination + std::u16string(suffix.begin(), suffix.end());
        impl_->file.h = CreateFileW(wide(systemPath(temp)), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (impl_->file.h != INVALID_HANDLE_VALUE) {
            impl_->temp = std::move(temp);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    error = sysError();
    return false;
}

bool ReplacingFile::write(const void *data, std::size_t length, std::string &error) {
    const char *p = static_cast<const char *>(data);
    while (length > 0) {
        DWORD done = 0;
        const DWORD want = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
        if (!WriteFile(impl_->file.h, p, want, &done, nullptr)) {
            error = sysError();
            return false;
        }
        p += done;
        length -= done;
    }
    return true;
}

bool ReplacingFile::commit(std::string &error) {
    if (!FlushFileBuffers(impl_->file.h)) {
        error = sysError();
        return false;
    }
    impl_->file.reset();
    if (!MoveFileExW(wide(systemPath(impl_->temp)), wide(systemPath(impl_->destination)),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = sysError();
        return false;
    }
    impl_->committed = true;
    return true;
}

std::u16string baseName(const std::u16string &path) {
    // Windows takes '/' between folders too, and ':' after a drive.
    constexpr char16_t folderEnds[] = {pcpath::Separator, u'/', u':', u'\0'};
    const auto sep = path.find_last_of(folderEnds);
    return sep == std::u16string::npos ? path : path.substr(sep + 1);
}

} // namespace sshlib::localfile
