// One SSH session to the board on top of libssh2, driven non-blocking so that every wait is
// bounded: by the connect time-out while connecting, afterwards by the idle time-out, which
// counts only silence (keepalive answers are a sign of life).
#pragma once

#include "errortext.h"
#include "net.h"

#include <libssh2.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sshlib {

class Session {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int ConnectTimeoutMs = 10000;
    static constexpr int DefaultIdleTimeoutMs = 30000;

    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    bool connect(std::u16string_view host, int port);
    // ms <= 0 waits without limit.
    void setIdleTimeout(int ms) { idleTimeoutMs_ = ms; }
    bool authenticate(std::u16string_view login, std::u16string_view password);
    // Runs one command to its end; its stdout and stderr merged, or nothing on failure.
    std::optional<std::string> run(const std::string &command);
    void disconnect();

    bool loggedIn() const { return raw_ && authenticated_ && !broken_; }
    const std::string &host() const { return host_; }
    ErrorText &error() { return error_; }

    // For channel users: waits after libssh2 said EAGAIN. False, with err set, when the board
    // stayed silent past the time-out or the connection failed.
    bool wait(ErrorText &err, std::string_view step);
    // True, with err set and the session lost, when the board has been silent past the idle
    // time-out.
    bool silentTooLong(ErrorText &err, std::string_view step);
    // Records a libssh2 failure in err; a transport failure makes the session unusable.
    void libraryFailure(ErrorText &err, std::string_view step, int rc);
    // Repeats call until it stops saying EAGAIN, waiting in between; gives its last result.
    template <class F> int retry(ErrorText &err, std::string_view step, F call) {
        for (;;) {
            const int rc = call();
            if (rc != LIBSSH2_ERROR_EAGAIN)
                return rc;
            if (!wait(err, step))
                return LIBSSH2_ERROR_TIMEOUT;
        }
    }
    // The same for a call that must end in success; a failure is recorded in err.
    template <class F> bool complete(ErrorText &err, std::string_view step, F call) {
        const int rc = retry(err, step, call);
        if (rc != 0 && !err.failed())
            libraryFailure(err, step, rc);
        return rc == 0;
    }
    LIBSSH2_SESSION *raw() const { return raw_; }
    net::Socket socket() const { return socket_; }
    void markBroken() { broken_ = true; }
    bool broken() const { return broken_; }

private:
    static ssize_t onReceive(libssh2_socket_t fd, void *buffer, std::size_t length, int flags,
                             void **abstract);
    static void onKeyboardInteractive(const char *name, int nameLen, const char *instruction,
                                      int instructionLen, int numPrompts,
                                      const LIBSSH2_USERAUTH_KBDINT_PROMPT *prompts,
                                      LIBSSH2_USERAUTH_KBDINT_RESPONSE *responses, void **abstract);
    bool setPreferences();

    net::Socket socket_ = net::NoSocket;
    LIBSSH2_SESSION *raw_ = nullptr;
    std::string host_;
    int port_ = 0;
    bool authenticated_ = false;
    bool broken_ = false;
    int idleTimeoutMs_ = DefaultIdleTimeoutMs;
    std::optional<Clock::time_point> deadline_;
    Clock::time_point lastReceived_{};
    Clock::time_point lastKeepalive_{};
    std::string password_; // only during keyboard-interactive login
    ErrorText error_;
};

// The byte stream the SCP protocol runs over: a channel, or a recording in tests.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Bytes of stdout read (waiting for at least one), 0 at end of output, -1 on failure.
    virtual long long read(char *buffer, std::size_t length, std::string_view step) = 0;
    virtual bool writeAll(const char *data, std::size_t length, std::string_view step) = 0;
    // What the board wrote to stderr so far.
    virtual const std::string &stderrText() const = 0;
};

// An exec channel on a session. Closes and frees itself on every way out.
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
    // True when the board sent something within a short while; else nudges it.
    bool nudgeIfSilent();

    Session &session_;
    ErrorText &err_;
    LIBSSH2_CHANNEL *raw_ = nullptr;
    bool marked_ = false;
    bool eofSent_ = false;
    bool closed_ = false;
    std::string stderr_;
};

} // namespace sshlib
