// The board session every board operation runs in: open, run, check, attach transfer, report
// failure and close, with the values that are the same for every operation.
#pragma once

#include "ckabi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace board {

// Where an operation's log entries go, one call per entry.
using LogSink = std::function<void(std::u16string_view entry)>;

// How the caller's thread sleeps for a number of milliseconds. The programs hand in their
// replaceable one, so that every wait is found in one place and board/ needs no window toolkit.
using Sleeper = std::function<void(int ms)>;

inline constexpr std::int32_t SshPort = 22;
inline constexpr std::int32_t IdleTimeoutMs = 5000;
inline constexpr std::u16string_view Login = u"root";
inline constexpr std::u16string_view Password = u"";
inline constexpr std::u16string_view Charset = u"ansi";

// One session of one operation run. A step that fails reports: it appends the failing
// object's last error text to the log, closes, and returns false, upon which the operation
// returns. Destruction closes on every other way out, an error raised by the loader included,
// so no session or transfer object outlives the run.
class Session {
public:
    // Creates the session. An error the loader raises passes through; nothing exists then.
    explicit Session(LogSink log);
    // Closes if still open. An error raised by close passes to the caller, except while another
    // error is already leaving the operation: that one is the one the user sees.
    ~Session() noexcept(false);
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Connects to the address, unchanged, on port 22, sets the idle time-out and logs in.
    bool Open(std::u16string_view address);
    // Runs one shell command and gives its output (a null result is empty).
    std::u16string Run(std::u16string_view command);
    // Whether the session's most recent call succeeded; reports failure if not.
    bool Check();
    // Creates the transfer object and binds it to the session.
    bool AttachTransfer();
    bool Upload(std::u16string_view localPath, std::u16string_view remotePath);
    bool Download(std::u16string_view remotePath, std::u16string_view localPath);
    // Disconnects, releases the session, then the transfer object if there is one. Once only.
    void Close();

private:
    bool ReportSessionFailure();
    bool ReportTransferFailure();

    LogSink log_;
    int uncaughtAtStart_;
    ckabi::Handle ssh_ = 0;
    ckabi::Handle scp_ = 0;
    bool hasTransfer_ = false;
    bool closed_ = false;
};

// The reboot operation, the same in both programs: open; run "/sbin/reboot  "; check; log the
// output and "Tavrin Reboot OK."; sleep 200 ms; close. The log is not cleared first.
void Reboot(std::u16string_view address, const LogSink &log, const Sleeper &sleep);

} // namespace board
