#include "session.h"

#include "channel.h"
#include "libssh2error.h"
#include "textconv.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sshlib {

namespace {

constexpr int KeepaliveEveryMs = 1000;

// libssh2 itself is set up once per process, and torn down when the library goes.
struct LibraryScope {
    LibraryScope() { libssh2_init(0); }
    ~LibraryScope() { libssh2_exit(); }
};
void ensureLibrary() {
    static LibraryScope scope;
}

int msBetween(Session::Clock::time_point from, Session::Clock::time_point to) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
}

// Calls f with each name of a comma-separated list, as SSH writes its method lists.
template <class F> void forEachName(std::string_view list, F f) {
    for (;;) {
        const std::size_t comma = list.find(',');
        f(list.substr(0, comma));
        if (comma == std::string_view::npos)
            return;
        list.remove_prefix(comma + 1);
    }
}

bool listHas(std::string_view list, std::string_view method) {
    bool found = false;
    forEachName(list, [&](std::string_view name) { found = found || name == method; });
    return found;
}

} // namespace

Session::Session() {
    ensureLibrary();
}

Session::~Session() {
    disconnect();
}

ssize_t Session::onReceive(libssh2_socket_t fd, void *buffer, std::size_t length, int flags,
                           void **abstract) {
    const long n = net::receive(fd, buffer, length, flags);
    if (n > 0) {
        auto *session = static_cast<Session *>(*abstract);
        session->lastReceived_ = Clock::now();
        session->received_ += static_cast<std::uint64_t>(n);
    }
    return n;
}

void Session::onKeyboardInteractive(const char *, int, const char *, int, int numPrompts,
                                    const LIBSSH2_USERAUTH_KBDINT_PROMPT *,
                                    LIBSSH2_USERAUTH_KBDINT_RESPONSE *responses, void **abstract) {
    // Every prompt gets the password: boards ask for nothing else.
    const std::string &password = static_cast<Session *>(*abstract)->password_;
    for (int i = 0; i < numPrompts; ++i) {
        auto *copy = static_cast<char *>(std::malloc(password.size() + 1));
        if (copy)
            std::memcpy(copy, password.c_str(), password.size() + 1);
        responses[i].text = copy;
        responses[i].length = copy ? static_cast<unsigned>(password.size()) : 0;
    }
}

bool Session::wait(ErrorText &err, std::string_view step) {
    if (broken_ || !raw_) {
        err.fail(step, "the connection to the board is already lost");
        return false;
    }
    const int dirs = libssh2_session_block_directions(raw_);
    const bool forWrite = (dirs & LIBSSH2_SESSION_BLOCK_OUTBOUND) != 0;
    const bool forRead = (dirs & LIBSSH2_SESSION_BLOCK_INBOUND) != 0 || !forWrite;
    for (;;) {
        const auto now = Clock::now();
        int limit = -1;
        if (deadline_) {
            limit = std::max(0, msBetween(now, *deadline_));
            if (limit == 0) {
                err.fail(step, "no SSH answer from " + host_ + " within the " +
                                   std::to_string(ConnectTimeoutMs / 1000) + " s connect time-out");
                broken_ = true;
                return false;
            }
        } else if (idleTimeoutMs_ > 0) {
            if (silentTooLong(err, step))
                return false;
            limit = idleTimeoutMs_ - msBetween(lastReceived_, now);
        }
        // Probe a silent board so that a long, quiet command is told apart from a dead one.
        // Only when the socket can take the probe whole: a half-sent probe would block the
        // data that libssh2 still has to send.
        if (authenticated_ && !forWrite && msBetween(lastReceived_, now) >= KeepaliveEveryMs &&
            msBetween(lastKeepalive_, now) >= KeepaliveEveryMs &&
            net::waitSocket(socket_, false, true, 0) == net::Ready::Yes) {
            int next = 0;
            libssh2_keepalive_send(raw_, &next);
            lastKeepalive_ = now;
        }
        int slice = authenticated_ && !forWrite ? KeepaliveEveryMs : 60000;
        if (limit >= 0)
            slice = std::min(slice, limit);
        switch (net::waitSocket(socket_, forRead, forWrite, slice)) {
        case net::Ready::Yes:
            return true;
        case net::Ready::Error:
            err.fail(step, "waiting for the board failed: " + net::lastError());
            broken_ = true;
            return false;
        case net::Ready::Timeout:
            break;
        }
    }
}

bool Session::silentTooLong(ErrorText &err, std::string_view step) {
    const int silent = msBetween(lastReceived_, Clock::now());
    if (idleTimeoutMs_ <= 0 || silent < idleTimeoutMs_)
        return false;
    err.fail(step, "the board sent nothing for " + std::to_string(silent) +
                       " ms, longer than the idle time-out of " + std::to_string(idleTimeoutMs_) +
                       " ms; it has stopped answering");
    broken_ = true;
    return true;
}

void Session::libraryFailure(ErrorText &err, std::string_view step, int rc) {
    if (sshlib::libraryFailure(raw_, err, step, rc))
        broken_ = true;
}

bool Session::requireLoggedIn(ErrorText &err) const {
    if (loggedIn())
        return true;
    err.fail("checking the session", "the SSH session is not connected and logged in");
    return false;
}

bool Session::setPreferences() {
    // Fast and modern first: chacha20-poly1305 is the quick cipher on a board CPU without AES
    // instructions. Then the old methods that boards in the field still run, so that those are
    // reached with no setup. Strict key exchange is offered by libssh2 itself with every
    // key exchange list.
    static constexpr const char *Ciphers =
        "chacha20-poly1305@openssh.com,aes128-gcm@openssh.com,aes256-gcm@openssh.com,"
        "aes128-ctr,aes192-ctr,aes256-ctr,aes128-cbc,aes192-cbc,aes256-cbc,3des-cbc";
    static constexpr const char *Macs =
        "hmac-sha2-256-etm@openssh.com,hmac-sha2-512-etm@openssh.com,hmac-sha1-etm@openssh.com,"
        "hmac-sha2-256,hmac-sha2-512,hmac-sha1,hmac-sha1-96";
    static const struct {
        int type;
        const char *list;
    } prefs[] = {
        {LIBSSH2_METHOD_KEX,
         "curve25519-sha256,curve25519-sha256@libssh.org,ecdh-sha2-nistp256,ecdh-sha2-nistp384,"
         "ecdh-sha2-nistp521,diffie-hellman-group-exchange-sha256,diffie-hellman-group16-sha512,"
         "diffie-hellman-group18-sha512,diffie-hellman-group14-sha256,diffie-hellman-group14-sha1,"
         "diffie-hellman-group1-sha1,diffie-hellman-group-exchange-sha1"},
        {LIBSSH2_METHOD_HOSTKEY,
         "ssh-ed25519,ecdsa-sha2-nistp256,ecdsa-sha2-nistp384,ecdsa-sha2-nistp521,rsa-sha2-512,"
         "rsa-sha2-256,ssh-rsa,ssh-dss"},
        {LIBSSH2_METHOD_CRYPT_CS, Ciphers},
        {LIBSSH2_METHOD_CRYPT_SC, Ciphers},
        {LIBSSH2_METHOD_MAC_CS, Macs},
        {LIBSSH2_METHOD_MAC_SC, Macs},
    };
    for (const auto &p : prefs) {
        // Hand libssh2 only names it knows, so that a list it cannot use at all is ours to
        // report, naming the step.
        const char **algs = nullptr;
        const int count = libssh2_session_supported_algs(raw_, p.type, &algs);
        std::string list;
        forEachName(p.list, [&](std::string_view name) {
            for (int i = 0; i < count; ++i) {
                if (name == algs[i]) {
                    list += (list.empty() ? "" : ",") + std::string(name);
                    break;
                }
            }
        });
        if (count > 0)
            libssh2_free(raw_, algs);
        if (list.empty() || libssh2_session_method_pref(raw_, p.type, list.c_str()) != 0) {
            libraryFailure(error_, "choosing the SSH methods", LIBSSH2_ERROR_METHOD_NOT_SUPPORTED);
            return false;
        }
    }
    return true;
}

bool Session::connect(std::u16string_view host, int port) {
    disconnect();
    host_ = text::toUtf8(host);
    error_.begin("Connect to " + quoted(host_) + " port " + std::to_string(port));
    if (host_.empty()) {
        error_.fail("reading the board address", "the address is empty");
        return false;
    }
    if (port <= 0 || port > 65535) {
        error_.fail("reading the port", "the port is outside 1 to 65535");
        return false;
    }
    const auto start = Clock::now();
    std::string cause;
    socket_ = net::connectTcp(host_, port, ConnectTimeoutMs, cause);
    if (socket_ == net::NoSocket) {
        error_.fail("TCP connection", cause);
        return false;
    }
    raw_ = libssh2_session_init_ex(nullptr, nullptr, nullptr, this);
    if (!raw_) {
        error_.fail("starting the SSH session", "out of memory");
        disconnect();
        return false;
    }
    libssh2_session_callback_set2(raw_, LIBSSH2_CALLBACK_RECV,
                                  reinterpret_cast<libssh2_cb_generic *>(&Session::onReceive));
    libssh2_session_set_blocking(raw_, 0);
    libssh2_keepalive_config(raw_, 1, 1);
    if (!setPreferences()) {
        disconnect();
        return false;
    }
    lastReceived_ = start;
    deadline_ = start + std::chrono::milliseconds(ConnectTimeoutMs);
    const int rc =
        retry(error_, "SSH handshake", [&] { return libssh2_session_handshake(raw_, socket_); });
    deadline_.reset();
    if (rc != 0) {
        if (rc != LIBSSH2_ERROR_TIMEOUT)
            libraryFailure(error_, "SSH handshake", rc);
        disconnect();
        return false;
    }
    lastReceived_ = Clock::now();
    return true;
}

std::optional<std::string> Session::offeredLoginMethods(const std::string &user) {
    // Asking is itself the "none" login: boards with an empty password let root in only so.
    char *offered = nullptr;
    for (;;) {
        offered = libssh2_userauth_list(raw_, user.c_str(), static_cast<unsigned>(user.size()));
        if (offered || libssh2_session_last_errno(raw_) != LIBSSH2_ERROR_EAGAIN)
            break;
        if (!wait(error_, "asking which login methods the board offers"))
            return std::nullopt;
    }
    if (offered)
        return std::string(offered);
    if (libssh2_userauth_authenticated(raw_))
        authenticated_ = true;
    else
        libraryFailure(error_, "asking which login methods the board offers",
                       libssh2_session_last_errno(raw_));
    return std::nullopt;
}

int Session::passwordLogin(const std::string &user, std::u16string_view password) {
    const std::string pw = text::toUtf8(password);
    const int rc = retry(error_, "password login", [&] {
        return libssh2_userauth_password_ex(raw_, user.c_str(), static_cast<unsigned>(user.size()),
                                            pw.c_str(), static_cast<unsigned>(pw.size()), nullptr);
    });
    // A refusal lets the next method try; a lost connection does not.
    if (rc != 0 && !error_.failed() && isTransportError(rc))
        libraryFailure(error_, "password login", rc);
    return rc;
}

int Session::keyboardInteractiveLogin(const std::string &user, std::u16string_view password) {
    password_ = text::toUtf8(password);
    const int rc = retry(error_, "keyboard-interactive login", [&] {
        return libssh2_userauth_keyboard_interactive_ex(raw_, user.c_str(),
                                                        static_cast<unsigned>(user.size()),
                                                        &Session::onKeyboardInteractive);
    });
    password_.clear();
    return rc;
}

bool Session::authenticate(std::u16string_view login, std::u16string_view password) {
    const std::string user = text::toUtf8(login);
    error_.begin("Login as " + quoted(user) + " on " + host_);
    if (!raw_ || broken_) {
        error_.fail("checking the session", "the session is not connected to a board");
        return false;
    }
    if (authenticated_)
        return true;
    const std::optional<std::string> methods = offeredLoginMethods(user);
    if (!methods)
        return authenticated_;

    // Each offered method in turn, until one lets us in or something other than a refusal
    // ends the login.
    int rc = LIBSSH2_ERROR_AUTHENTICATION_FAILED;
    const struct {
        const char *method;
        int (Session::*login)(const std::string &, std::u16string_view);
    } ways[] = {{"password", &Session::passwordLogin},
                {"keyboard-interactive", &Session::keyboardInteractiveLogin}};
    for (const auto &way : ways) {
        if (!listHas(*methods, way.method))
            continue;
        rc = (this->*way.login)(user, password);
        if (rc == 0) {
            authenticated_ = true;
            return true;
        }
        if (error_.failed())
            return false;
    }
    error_.fail("login", "the board refused user " + quoted(user) +
                             " with the given password (methods the board offers: " + *methods +
                             ")");
    if (isTransportError(rc))
        broken_ = true;
    return false;
}

std::optional<std::string> Session::run(const std::string &command) {
    // The command is in the board's charset, as its output is.
    error_.begin("Command ", quoted(command), " on " + (host_.empty() ? "no board" : host_));
    if (!loggedIn()) {
        error_.fail("checking the session", raw_ && !broken_
                                                ? "the session is not logged in"
                                                : "the session is not connected to a board");
        return std::nullopt;
    }
    std::string out;
    {
        Channel channel(*this, error_);
        if (!channel.open("opening a channel") || !channel.exec(command, "starting the command") ||
            !channel.readToEnd(out, true, "reading the command's output") ||
            !channel.waitClosed("waiting for the command to end"))
            return std::nullopt;
        std::string signal;
        if (channel.exitStatus(signal) == Channel::NoExitStatus) {
            error_.fail("waiting for the command to end",
                        "the board closed the command without reporting how it ended (no exit "
                        "status), so it may not have run to its end");
            return std::nullopt;
        }
    }
    return out;
}

void Session::disconnect() {
    if (raw_) {
        if (!broken_) {
            ErrorText ignored;
            deadline_ = Clock::now() + std::chrono::milliseconds(CloseBoundMs);
            retry(ignored, "disconnect", [&] {
                return libssh2_session_disconnect_ex(raw_, SSH_DISCONNECT_BY_APPLICATION,
                                                     "closed by the tool", "");
            });
            deadline_.reset();
        }
        // Nothing may block on a dead board from here on.
        net::shutdownSocket(socket_);
        libssh2_session_set_blocking(raw_, 1);
        libssh2_session_free(raw_);
        raw_ = nullptr;
    }
    net::closeSocket(socket_);
    socket_ = net::NoSocket;
    authenticated_ = false;
    broken_ = false;
}

std::string negotiatedMethods(const Session &session) {
    const auto method = [&](int type) {
        const char *name = session.raw_ ? libssh2_session_methods(session.raw_, type) : nullptr;
        return std::string(name ? name : "-");
    };
    return "kex=" + method(LIBSSH2_METHOD_KEX) + " hostkey=" + method(LIBSSH2_METHOD_HOSTKEY) +
           " cipher=" + method(LIBSSH2_METHOD_CRYPT_CS) + " mac=" + method(LIBSSH2_METHOD_MAC_CS);
}

} // namespace sshlib
