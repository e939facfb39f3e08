#include "channel.h"

#include "exitstatus.h"

#include <algorithm>

namespace sshlib {

namespace {

constexpr unsigned ChannelWindow = 8u * 1024 * 1024;
constexpr unsigned ChannelPacket = 32768;
constexpr int NudgeAfterMs = 50;
constexpr std::size_t StderrKeep = 64 * 1024;

} // namespace

Channel::Channel(Session &session, ErrorText &err) : session_(session), err_(err) {}

Channel::~Channel() {
    if (!raw_ || session_.broken())
        return; // a lost session frees its channels with itself
    // A bounded goodbye in the order boards expect: our EOF, the rest of their output and their
    // EOF, then the close. Closing while the board still has output for us (an SCP refusal
    // followed by its message) makes some boards drop the whole connection.
    ErrorText ignored;
    const auto until = Session::Clock::now() + std::chrono::milliseconds(Session::CloseBoundMs);
    const auto pending = [&](int rc) {
        if (rc != LIBSSH2_ERROR_EAGAIN)
            return false;
        if (Session::Clock::now() >= until || !session_.wait(ignored, "closing the channel")) {
            session_.markBroken();
            return false;
        }
        return true;
    };
    if (!closed_) {
        while (!eofSent_ && pending(libssh2_channel_send_eof(raw_))) {
        }
        eofSent_ = true;
        char sink[4096];
        while (!session_.broken() && !libssh2_channel_eof(raw_)) {
            const auto a = libssh2_channel_read_ex(raw_, 0, sink, sizeof sink);
            const auto b =
                libssh2_channel_read_ex(raw_, SSH_EXTENDED_DATA_STDERR, sink, sizeof sink);
            if (a > 0 || b > 0)
                continue;
            if ((a < 0 && a != LIBSSH2_ERROR_EAGAIN) || (b < 0 && b != LIBSSH2_ERROR_EAGAIN))
                break;
            if (Session::Clock::now() >= until)
                break;
            nudgeIfSilent();
        }
    }
    while (!session_.broken() && pending(libssh2_channel_free(raw_))) {
    }
}

void Channel::failure(std::string_view step, int rc) {
    session_.libraryFailure(err_, step, rc);
}

bool Channel::open(std::string_view step) {
    for (;;) {
        raw_ = libssh2_channel_open_ex(session_.raw(), "session", sizeof "session" - 1,
                                       ChannelWindow, ChannelPacket, nullptr, 0);
        if (raw_) {
            exitstatus::mark(raw_);
            return true;
        }
        const int rc = libssh2_session_last_errno(session_.raw());
        if (rc != LIBSSH2_ERROR_EAGAIN) {
            failure(step, rc);
            return false;
        }
        if (!waitForProgress(step, Awaited::Answer))
            return false;
    }
}

bool Channel::exec(const std::string &command, std::string_view step) {
    return session_.complete(err_, step, [&] {
        return libssh2_channel_process_startup(raw_, "exec", sizeof "exec" - 1, command.data(),
                                               static_cast<unsigned>(command.size()));
    });
}

bool Channel::drainStderr(std::string_view step) {
    char buf[4096];
    for (;;) {
        const ssize_t n = libssh2_channel_read_stderr(raw_, buf, sizeof buf);
        if (n == LIBSSH2_ERROR_EAGAIN || n == 0)
            return true;
        if (n < 0) {
            failure(step, static_cast<int>(n));
            return false;
        }
        const std::size_t room = StderrKeep > stderr_.size() ? StderrKeep - stderr_.size() : 0;
        stderr_.append(buf, std::min(room, static_cast<std::size_t>(n)));
    }
}

bool Channel::writeAll(const char *data, std::size_t length, std::string_view step) {
    while (length > 0) {
        const ssize_t n = libssh2_channel_write(raw_, data, length);
        if (n > 0) {
            data += n;
            length -= static_cast<std::size_t>(n);
            continue;
        }
        if (n != LIBSSH2_ERROR_EAGAIN && n != 0) {
            failure(step, static_cast<int>(n));
            return false;
        }
        if (!drainStderr(step))
            return false;
        // A board-side program that has gone will never open the window again.
        if (libssh2_channel_eof(raw_)) {
            err_.fail(step, "the board ended the transfer early", stderr_);
            return false;
        }
        if (!waitForProgress(step, Awaited::Window))
            return false;
    }
    return true;
}

long long Channel::read(char *buffer, std::size_t length, std::string_view step) {
    for (;;) {
        const ssize_t n = libssh2_channel_read(raw_, buffer, length);
        if (n > 0)
            return n;
        if (n != LIBSSH2_ERROR_EAGAIN && n != 0) {
            failure(step, static_cast<int>(n));
            return -1;
        }
        if (!drainStderr(step))
            return -1;
        if (libssh2_channel_eof(raw_))
            return 0;
        if (!waitForProgress(step, Awaited::Output))
            return -1;
    }
}

bool Channel::readToEnd(std::string &out, bool merged, std::string_view step) {
    char buf[32768];
    for (;;) {
        bool progressed = false;
        for (int stream : {0, SSH_EXTENDED_DATA_STDERR}) {
            for (;;) {
                const ssize_t n = libssh2_channel_read_ex(raw_, stream, buf, sizeof buf);
                if (n > 0) {
                    progressed = true;
                    if (stream == 0 || merged)
                        out.append(buf, static_cast<std::size_t>(n));
                    else if (stderr_.size() < StderrKeep)
                        stderr_.append(buf, std::min(static_cast<std::size_t>(n),
                                                     StderrKeep - stderr_.size()));
                    continue;
                }
                if (n == LIBSSH2_ERROR_EAGAIN || n == 0)
                    break;
                failure(step, static_cast<int>(n));
                return false;
            }
        }
        if (libssh2_channel_eof(raw_))
            return true;
        if (!progressed && !waitForProgress(step, Awaited::End))
            return false;
    }
}

bool Channel::sendEof(std::string_view step) {
    eofSent_ = session_.complete(err_, step, [&] { return libssh2_channel_send_eof(raw_); });
    return eofSent_;
}

bool Channel::waitForProgress(std::string_view step, Awaited what) {
    // A read of the other stream may have taken what this loop awaits (the board's window
    // adjustment, stdout) off the socket into libssh2, where waiting on the socket would not see
    // it until the next keepalive: then go on at once. Only bytes that came since the last look
    // can be such news, so that shortcut is taken once per arrival and a retry that got nowhere
    // waits: during a key exchange libssh2 says "try again" with the window open.
    const bool news = session_.received_ != receivedSeen_;
    receivedSeen_ = session_.received_;
    if (news) {
        const bool sendPending = (libssh2_session_block_directions(session_.raw()) &
                                  LIBSSH2_SESSION_BLOCK_OUTBOUND) != 0;
        if (what == Awaited::Window && !sendPending && libssh2_channel_window_write(raw_) > 0)
            return true;
        if ((what == Awaited::Output || what == Awaited::End) &&
            libssh2_poll_channel_read(raw_, 0) > 0)
            return true;
    }
    // The board's program is ending: nudge it along, within the idle time-out. A socket that
    // the nudge found readable but that gave libssh2 nothing gets the full wait instead.
    if (what == Awaited::End && eofSent_ && (news || !nudgeFoundData_)) {
        if (session_.silentTooLong(err_, step))
            return false;
        nudgeFoundData_ = nudgeIfSilent();
        return true;
    }
    nudgeFoundData_ = false;
    return session_.wait(err_, step);
}

bool Channel::nudgeIfSilent() {
    // Some boards notice that the program behind a channel has ended only when packets keep
    // arriving. A one-byte window adjustment is such a packet, and harmless.
    if (net::waitSocket(session_.socket(), true, false, NudgeAfterMs) != net::Ready::Timeout)
        return true;
    unsigned int window = 0;
    libssh2_channel_receive_window_adjust2(raw_, 1, 1, &window);
    return false;
}

bool Channel::waitClosed(std::string_view step) {
    closed_ = session_.complete(err_, step, [&] { return libssh2_channel_wait_closed(raw_); });
    return closed_;
}

int Channel::exitStatus(std::string &signal) {
    char *sig = nullptr;
    std::size_t sigLen = 0;
    libssh2_channel_get_exit_signal(raw_, &sig, &sigLen, nullptr, nullptr, nullptr, nullptr);
    if (sig) {
        signal.assign(sig, sigLen);
        libssh2_free(session_.raw(), sig);
        return -1;
    }
    // A marked channel whose board reported no status gives NoExitStatus (exitstatus.h).
    return libssh2_channel_get_exit_status(raw_);
}

} // namespace sshlib
