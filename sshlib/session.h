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

class Channel;

class Session {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int ConnectTimeoutMs = 10000;
    static constexpr int DefaultIdleTimeoutMs = 30000;
    // How long a goodbye to the board (channel close, disconnect) may take.
    static constexpr int CloseBoundMs = 2000;

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
    // The check before work on the session by another object (a transfer); fails err if not.
    bool requireLoggedIn(ErrorText &err) const;
    const std::string &host() const { return host_; }
    ErrorText &error() { return error_; }

private:
    // Channels drive the transport through the plumbing below.
    friend class Channel;
    friend std::string negotiatedMethods(const Session &session);

    // Waits after libssh2 said EAGAIN. False, with err set, when the board stayed silent past
    // the time-out or the connection failed.
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

    static ssize_t onReceive(libssh2_socket_t fd, void *buffer, std::size_t length, int flags,
                             void **abstract);
    static void onKeyboardInteractive(const char *name, int nameLen, const char *instruction,
                                      int instructionLen, int numPrompts,
                                      const LIBSSH2_USERAUTH_KBDINT_PROMPT *prompts,
                                      LIBSSH2_USERAUTH_KBDINT_RESPONSE *responses, void **abstract);
    bool setPreferences();
    // The login methods the board offers user; none when the asking itself let user in
    // (authenticated_ is then set) or failed (error_ says why).
    std::optional<std::string> offeredLoginMethods(const std::string &user);
    // One login by one method: 0 when in, else libssh2's answer; error_ is set when the
    // login ended for another reason than a refusal.
    int passwordLogin(const std::string &user, std::u16string_view password);
    int keyboardInteractiveLogin(const std::string &user, std::u16string_view password);

    net::Socket socket_ = net::NoSocket;
    LIBSSH2_SESSION *raw_ = nullptr;
    std::string host_;
    bool authenticated_ = false;
    bool broken_ = false;
    int idleTimeoutMs_ = DefaultIdleTimeoutMs;
    std::optional<Clock::time_point> deadline_;
    Clock::time_point lastReceived_{};
    // Bytes taken off the socket so far: tells a channel whether anything came since it looked.
    std::uint64_t received_ = 0;
    Clock::time_point lastKeepalive_{};
    std::string password_; // only during keyboard-interactive login
    ErrorText error_;
};

// The methods a connected session negotiated, "kex=... hostkey=... cipher=... mac=...", for
// the benchmark and the tests that check what a board agreed to.
std::string negotiatedMethods(const Session &session);

} // namespace sshlib
