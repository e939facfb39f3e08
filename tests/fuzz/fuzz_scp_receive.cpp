// A download from a hostile board: whatever it replies to "scp -f", only the chosen file is
// written, and never more bytes than the record it announced.
#include "scp.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class Replay : public sshlib::ByteStream {
public:
    Replay(const std::uint8_t *data, std::size_t size)
        : data_(reinterpret_cast<const char *>(data)), size_(size) {}
    long long read(char *buffer, std::size_t length, std::string_view) override {
        // Short reads, as a network gives them.
        const std::size_t n = std::min({length, size_ - at_, std::size_t{7}});
        std::copy(data_ + at_, data_ + at_ + n, buffer);
        at_ += n;
        return static_cast<long long>(n);
    }
    bool writeAll(const char *, std::size_t, std::string_view) override { return true; }
    const std::string &stderrText() const override { return stderr_; }

private:
    const char *data_;
    std::size_t size_;
    std::size_t at_ = 0;
    std::string stderr_;
};

struct Counter : sshlib::scpwire::FileSink {
    std::uint64_t bytes = 0;
    bool write(const void *, std::size_t length, std::string &) override {
        bytes += length;
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Replay board(data, size);
    Counter sink;
    sshlib::ErrorText err;
    err.begin("Download");
    const bool ok = sshlib::scpwire::receiveFile(board, err, sink);
    // Success needs a file record; what was written is exactly its announced size.
    const std::string head(reinterpret_cast<const char *>(data), std::min<std::size_t>(size, 4200));
    const auto line = head.find('\n');
    if (ok) {
        const auto rec = sshlib::scpwire::parseFileRecord(head.substr(0, line));
        if (!rec || rec->size != sink.bytes)
            std::abort();
    } else if (err.text().empty()) {
        std::abort();
    }
    if (sink.bytes > size)
        std::abort();
    return 0;
}
