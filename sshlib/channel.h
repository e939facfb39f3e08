// An exec channel on a logged-in session: one command, its output, its end and exit status.
#pragma once

#include "bytestream.h"
#include "errortext.h"
#include "session.h"

#include <libssh2.h>

#include <string>
#include <string_view>

namespace sshlib {

// Closes and frees itself on every way out.
class Channel : public ByteStream {
public:
    Channel(Session &session, ErrorText &err);
    ~Channel() override;
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    bool open(std::string_view step);
    bool exec(const std::string &command, std::string_view step);
    bool writeAll(const char *data, std::size_t length, std::string_view step) override;
    long long read(char *buffer, std::size_t length, std::string_view step) override;
    // Everything until the end of output; stderr merged in when merged is set, else kept apart.
    bool readToEnd(std::string &out, bool merged, std::string_view step);
    bool sendEof(std::string_view step);
    bool waitClosed(std::string_view step);
    // The exit status after waitClosed; -1 when the board reported a signal instead, and
    // NoExitStatus when it reported neither.
    static constexpr int NoExitStatus = -2147483647 - 1;
    int exitStatus(std::string &signal);
    const std::string &stderrText() const override { return stderr_; }

private:
    // Reads what stderr has without waiting, so the channel never stalls on it.
    bool drainStderr(std::string_view step);
    // True when a read of stderr took output off the socket that now waits in libssh2: waiting
    // on the socket would not see it.
    bool stdoutQueued() const;
    // True when the board sent something within a short while; else nudges it.
    bool nudgeIfSilent();
    void failure(std::string_view step, int rc);

    Session &session_;
    ErrorText &err_;
    LIBSSH2_CHANNEL *raw_ = nullptr;
    bool eofSent_ = false;
    bool closed_ = false;
    std::string stderr_;
};

} // namespace sshlib
