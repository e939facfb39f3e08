// A stand-in for ChilkatDelphi32.dll with the library's file name and exports. Every entry
// point logs its call with its arguments and gives a result that shows whether the caller
// handed it back unchanged. Built with FAKE_WITHOUT_CONNECT_AND_UPLOAD it lacks CkSsh_Connect
// and CkScp_UploadFile, one entry point of each family.
#include "ckabi.h"
#include "shown_text.h"

#include <string>
#include <utility>

namespace {

std::string calls;
std::u16string lastText;

// Both bytes set: a caller that narrows or normalises the result is caught.
constexpr ckabi::Bool Success = 0x0102;
constexpr ckabi::Handle SshHandle = 0x12345678;
constexpr ckabi::Handle ScpHandle = 0x9abcdef0;

std::string Show(ckabi::Text text) {
    return loadertest::ShownText(text);
}

void Log(const std::string &call) {
    calls += call + "\n";
}

// Texts stay valid until the next text-returning call, as the real library's do.
ckabi::Text Keep(const std::string &text) {
    lastText.assign(text.begin(), text.end());
    return lastText.c_str();
}

} // namespace

// The calls since the last time this was asked, one line each.
CKAPI_EXPORT const char *CKAPI_CALL FakeTakeCalls() {
    static std::string taken;
    taken = std::move(calls);
    calls.clear();
    return taken.c_str();
}

ckabi::Handle CKAPI_CALL CkSsh_Create() {
    Log("CkSsh_Create");
    return SshHandle;
}

void CKAPI_CALL CkSsh_Dispose(ckabi::Handle ssh) {
    Log("CkSsh_Dispose " + std::to_string(ssh));
}

#if !defined(FAKE_WITHOUT_CONNECT_AND_UPLOAD)
ckabi::Bool CKAPI_CALL CkSsh_Connect(ckabi::Handle ssh, ckabi::Text host, std::int32_t port) {
    Log("CkSsh_Connect " + std::to_string(ssh) + " " + Show(host) + " " + std::to_string(port));
    return Success;
}
#endif

void CKAPI_CALL CkSsh_putIdleTimeoutMs(ckabi::Handle ssh, std::int32_t ms) {
    Log("CkSsh_putIdleTimeoutMs " + std::to_string(ssh) + " " + std::to_string(ms));
}

ckabi::Bool CKAPI_CALL CkSsh_AuthenticatePw(ckabi::Handle ssh, ckabi::Text login,
                                            ckabi::Text password) {
    Log("CkSsh_AuthenticatePw " + std::to_string(ssh) + " " + Show(login) + " " + Show(password));
    return Success;
}

ckabi::Text CKAPI_CALL CkSsh__quickCommand(ckabi::Handle ssh, ckabi::Text command,
                                           ckabi::Text charset) {
    Log("CkSsh__quickCommand " + std::to_string(ssh) + " " + Show(command) + " " + Show(charset));
    return Keep("output of " + Show(command));
}

ckabi::Bool CKAPI_CALL CkSsh_getLastMethodSuccess(ckabi::Handle ssh) {
    Log("CkSsh_getLastMethodSuccess " + std::to_string(ssh));
    return Success;
}

ckabi::Text CKAPI_CALL CkSsh__lastErrorText(ckabi::Handle ssh) {
    Log("CkSsh__lastErrorText " + std::to_string(ssh));
    return Keep("ssh error of " + std::to_string(ssh));
}

void CKAPI_CALL CkSsh_Disconnect(ckabi::Handle ssh) {
    Log("CkSsh_Disconnect " + std::to_string(ssh));
}

ckabi::Handle CKAPI_CALL CkScp_Create() {
    Log("CkScp_Create");
    return ScpHandle;
}

void CKAPI_CALL CkScp_Dispose(ckabi::Handle scp) {
    Log("CkScp_Dispose " + std::to_string(scp));
}

ckabi::Bool CKAPI_CALL CkScp_UseSsh(ckabi::Handle scp, ckabi::Handle ssh) {
    Log("CkScp_UseSsh " + std::to_string(scp) + " " + std::to_string(ssh));
    return Success;
}

#if !defined(FAKE_WITHOUT_CONNECT_AND_UPLOAD)
ckabi::Bool CKAPI_CALL CkScp_UploadFile(ckabi::Handle scp, ckabi::Text localPath,
                                        ckabi::Text remotePath) {
    Log("CkScp_UploadFile " + std::to_string(scp) + " " + Show(localPath) + " " + Show(remotePath));
    return Success;
}
#endif

ckabi::Bool CKAPI_CALL CkScp_DownloadFile(ckabi::Handle scp, ckabi::Text remotePath,
                                          ckabi::Text localPath) {
    Log("CkScp_DownloadFile " + std::to_string(scp) + " " + Show(remotePath) + " " +
        Show(localPath));
    return Success;
}

ckabi::Text CKAPI_CALL CkScp__lastErrorText(ckabi::Handle scp) {
    Log("CkScp__lastErrorText " + std::to_string(scp));
    return Keep("scp error of " + std::to_string(scp));
}
