#include "BoardSession.h"

#include "Scp.h"
#include "Ssh.h"

#include <exception>
#include <utility>

namespace board {
namespace {

// The library wants zero-terminated texts; a view need not end in one.
std::u16string Terminated(std::u16string_view text) {
    return std::u16string(text);
}

// Returned texts belong to the library until its next call on the object: copy at once.
std::u16string Copy(ckabi::Text text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

} // namespace

Session::Session(LogSink log)
    : log_(std::move(log)), uncaughtAtStart_(std::uncaught_exceptions()),
      ssh_(Ssh::CkSsh_Create()) {}

Session::~Session() noexcept(false) {
    if (std::uncaught_exceptions() > uncaughtAtStart_) {
        try {
            Close();
        } catch (...) {
            // Another error is already on its way to the error box.
        }
        return;
    }
    Close();
}

bool Session::Open(std::u16string_view address) {
    const std::u16string host = Terminated(address);
    if (Ssh::CkSsh_Connect(ssh_, host.c_str(), SshPort) == 0) {
        return ReportSessionFailure();
    }
    Ssh::CkSsh_putIdleTimeoutMs(ssh_, IdleTimeoutMs);
    const std::u16string login = Terminated(Login);
    const std::u16string password = Terminated(Password);
    if (Ssh::CkSsh_AuthenticatePw(ssh_, login.c_str(), password.c_str()) == 0) {
        return ReportSessionFailure();
    }
    return true;
}

std::u16string Session::Run(std::u16string_view command) {
    const std::u16string text = Terminated(command);
    const std::u16string charset = Terminated(Charset);
    return Copy(Ssh::CkSsh__quickCommand(ssh_, text.c_str(), charset.c_str()));
}

bool Session::Check() {
    if (Ssh::CkSsh_getLastMethodSuccess(ssh_) == 0) {
        return ReportSessionFailure();
    }
    return true;
}

bool Session::AttachTransfer() {
    scp_ = Scp::CkScp_Create();
    hasTransfer_ = true;
    if (Scp::CkScp_UseSsh(scp_, ssh_) == 0) {
        return ReportTransferFailure();
    }
    return true;
}

bool Session::Upload(std::u16string_view localPath, std::u16string_view remotePath) {
    const std::u16string local = Terminated(localPath);
    const std::u16string remote = Terminated(remotePath);
    if (Scp::CkScp_UploadFile(scp_, local.c_str(), remote.c_str()) == 0) {
        return ReportTransferFailure();
    }
    return true;
}

bool Session::Download(std::u16string_view remotePath, std::u16string_view localPath) {
    const std::u16string remote = Terminated(remotePath);
    const std::u16string local = Terminated(localPath);
    if (Scp::CkScp_DownloadFile(scp_, remote.c_str(), local.c_str()) == 0) {
        return ReportTransferFailure();
    }
    return true;
}

void Session::Close() {
    if (closed_) {
        return;
    }
    closed_ = true;
    // Every release is attempted even if an earlier one raised, so nothing is left behind;
    // the first error then goes on to the error box.
    std::exception_ptr first;
    auto step = [&first](auto &&call) {
        try {
            call();
        } catch (...) {
            if (!first) {
                first = std::current_exception();
            }
        }
    };
    step([this] { Ssh::CkSsh_Disconnect(ssh_); });
    step([this] { Ssh::CkSsh_Dispose(ssh_); });
    if (hasTransfer_) {
        step([this] { Scp::CkScp_Dispose(scp_); });
    }
    if (first) {
        std::rethrow_exception(first);
    }
}

bool Session::ReportSessionFailure() {
    const std::u16string text = Copy(Ssh::CkSsh__lastErrorText(ssh_));
    log_(text);
    Close();
    return false;
}

bool Session::ReportTransferFailure() {
    const std::u16string text = Copy(Scp::CkScp__lastErrorText(scp_));
    log_(text);
    Close();
    return false;
}

void Reboot(std::u16string_view address, const LogSink &log, const Sleeper &sleep) {
    Session session(log);
    if (!session.Open(address)) {
        return;
    }
    const std::u16string output = session.Run(u"/sbin/reboot  ");
    if (!session.Check()) {
        return;
    }
    log(output);
    log(u"Tavrin Reboot OK.");
    // In the programs the window thread sleeps; the window does not repaint meanwhile.
    sleep(200);
}

} // namespace board
