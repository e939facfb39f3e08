// The byte stream the SCP protocol runs over: a channel, or a recording in tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sshlib {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Bytes of stdout read (waiting for at least one), 0 at end of output, -1 on failure.
    virtual long long read(char *buffer, std::size_t length, std::string_view step) = 0;
    virtual bool writeAll(const char *data, std::size_t length, std::string_view step) = 0;
    // What the board wrote to stderr so far.
    virtual const std::string &stderrText() const = 0;
};

} // namespace sshlib
