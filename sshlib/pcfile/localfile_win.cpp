#include "localfile.h"

#include "PcSeparator.h"
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
};

InputFile::InputFile() : impl_(std::make_unique<Impl>()) {}
InputFile::~InputFile() = default;

bool InputFile::open(const std::u16string &path, std::string &error) {
    impl_->file.h = CreateFileW(wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (impl_->file.h == INVALID_HANDLE_VALUE) {
        error = sysError();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(impl_->file.h, &info)) {
        error = sysError();
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "it is a folder, not a file";
        return false;
    }
    impl_->size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
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
        DeleteFileW(wide(impl_->temp));
}

bool ReplacingFile::create(const std::u16string &destination, std::string &error) {
    impl_->destination = destination;
    const DWORD attrs = GetFileAttributesW(wide(destination));
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "the destination is a folder";
        return false;
    }
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string suffix = ".part-" + std::to_string(rd() % 1000000);
        std::u16string temp = destination + std::u16string(suffix.begin(), suffix.end());
        impl_->file.h = CreateFileW(wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
    if (!MoveFileExW(wide(impl_->temp), wide(impl_->destination),
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
