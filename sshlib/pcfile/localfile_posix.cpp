#include "localfile.h"

#include "PcSeparator.h"
#include "textconv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sshlib::localfile {

namespace {
constexpr std::uint64_t WritebackEvery = 8u << 20;

std::string sysError() {
    return std::strerror(errno);
}

void startWriteback(int fd, std::uint64_t from, std::uint64_t count) {
#if defined(__linux__)
    ::sync_file_range(fd, static_cast<off_t>(from), static_cast<off_t>(count),
                      SYNC_FILE_RANGE_WRITE);
#else
    (void)fd, (void)from, (void)count;
#endif
}

// Closes a descriptor when its owner goes.
struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};
} // namespace

struct InputFile::Impl {
    Fd fd;
    std::uint64_t size = 0;
    bool absent = false;
};

InputFile::InputFile() : impl_(std::make_unique<Impl>()) {}
InputFile::~InputFile() = default;

bool InputFile::open(const std::u16string &path, std::string &error) {
    impl_->absent = false;
    const std::string name = text::toUtf8(path);
    // Not blocking: a named pipe in place of the file fails as not regular rather than waiting for
    // a writer. Reads of a regular file never block anyway.
    impl_->fd.fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (impl_->fd.fd < 0) {
        impl_->absent = errno == ENOENT || errno == ENOTDIR;
        error = sysError();
        return false;
    }
    struct stat st {};
    if (::fstat(impl_->fd.fd, &st) != 0) {
        error = sysError();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        impl_->absent = S_ISDIR(st.st_mode);
        error = S_ISDIR(st.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
        return false;
    }
    impl_->size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool InputFile::absent() const {
    return impl_->absent;
}

bool InputFile::inUse() const {
    // Files here have no share modes: a writer never keeps a reader out.
    return false;
}

std::uint64_t InputFile::size() const {
    return impl_->size;
}

long long InputFile::read(void *buffer, std::size_t length, std::string &error) {
    for (;;) {
        const ssize_t n = ::read(impl_->fd.fd, buffer, length);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        error = sysError();
        return -1;
    }
}

struct ReplacingFile::Impl {
    Fd fd;
    std::uint64_t written = 0;
    std::uint64_t flushedUpTo = 0;
    std::string temp;
    std::string destination;
    bool committed = false;
};

ReplacingFile::ReplacingFile() : impl_(std::make_unique<Impl>()) {}

ReplacingFile::~ReplacingFile() {
    impl_->fd.reset();
    if (!impl_->committed && !impl_->temp.empty())
        ::unlink(impl_->temp.c_str());
}

bool ReplacingFile::create(const std::u16string &destination, std::string &error) {
    impl_->destination = text::toUtf8(destination);
    struct stat st {};
    if (::stat(impl_->destination.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = "the destination is a folder";
        return false;
    }
    // Made with the mode a new file gets, under a name no other process can guess; never by
    // changing the process's umask, which other threads of a host program would create files
    // under meanwhile.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".part-%08x%08x", random(), random());
        std::string temp = impl_->destination + suffix;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            impl_->fd.fd = fd;
            impl_->temp = std::move(temp);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    error = sysError();
    return false;
}

bool ReplacingFile::write(const void *data, std::size_t length, std::string &error) {
    const char *p = static_cast<const char *>(data);
    while (length > 0) {
        const ssize_t n = ::write(impl_->fd.fd, p, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = sysError();
            return false;
        }
        p += n;
        length -= static_cast<std::size_t>(n);
        impl_->written += static_cast<std::uint64_t>(n);
    }
    // Start writing back to disk while data still arrives, so the flush before the file is put
    // in place has little left to do.
    if (impl_->written - impl_->flushedUpTo >= WritebackEvery) {
        startWriteback(impl_->fd.fd, impl_->flushedUpTo, impl_->written - impl_->flushedUpTo);
        impl_->flushedUpTo = impl_->written;
    }
    return true;
}

bool ReplacingFile::commit(std::string &error) {
    if (::fdatasync(impl_->fd.fd) != 0) {
        error = sysError();
        return false;
    }
    const int fd = impl_->fd.fd;
    impl_->fd.fd = -1;
    if (::close(fd) != 0) {
        error = sysError();
        return false;
    }
    if (::rename(impl_->temp.c_str(), impl_->destination.c_str()) != 0) {
        error = sysError();
        return false;
    }
    impl_->committed = true;
    return true;
}

std::u16string baseName(const std::u16string &path) {
    const auto slash = path.find_last_of(pcpath::Separator);
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

} // namespace sshlib::localfile
