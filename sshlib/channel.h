// An exec channel on a logged-in session: one command, its output, its end and exit status.
#pragma once

#include "bytestream.h"
#include "errortext.h"
#include "exitstatus.h"
#include "session.h"

#include <libssh2.h>

#include <cstdint>
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
    static constexpr int NoExitStatus = exitstatus::NotReported;
    int exitStatus(std::string &signal);
    const std::string &stderrText() const override { return stderr_; }

private:
    // Reads what stderr has without waiting, so the channel never stalls on it.
    bool drainStderr(std::string_view step);
    // What a loop waits for after libssh2 said "try again".
    enum class Awaited { Answer, Window, Output, End };
    // Every wait of the channel's loops: returns at once when libssh2 may already hold what is
    // awaited, else waits on the socket; bounded by the idle time-out in every state. False,
    // with err_ set, when the board stayed silent too long or the connection failed.
    bool waitForProgress(std::string_view step, Awaited what);
    // True when the board sent something within a short while; else nudges it.
    bool nudgeIfSilent();
    void failure(std::string_view step, int rc);

    Session &session_;
    ErrorText &err_;
    LIBSSH2_CHANNEL *raw_ = nullptr;
    bool eofSent_ = false;
    bool closed_ = false;
    // What waitForProgress saw last: the session's byte count, and a nudge that found data.
    std::uint64_t receivedSeen_ = 0;
    bool nudgeFoundData_ = false;
    std::string stderr_;
};

} // namespace sshlib
