#include "Ssh.h"

#include "ckDllLoader.h"

namespace Ssh {

std::array<void *, SshEntryCount> SshEntries{};

void *SshEntry(int Slot, const char *EntryName) {
    void *&entry = SshEntries.at(static_cast<std::size_t>(Slot));
    if (entry == nullptr) {
        entry = ckDllLoader::GetDllEntry(EntryName);
    }
    return entry;
}

void *SshEntry(int Slot, const std::string &EntryName) {
    return SshEntry(Slot, EntryName.c_str());
}

namespace {

template <typename Entry> Entry Bound(int Slot, const char *EntryName) {
    return reinterpret_cast<Entry>(SshEntry(Slot, EntryName));
}

} // namespace

ckabi::Handle CkSsh_Create() {
    return Bound<ckabi::CkSsh_Create_t>(0, "CkSsh_Create")();
}

void CkSsh_Dispose(ckabi::Handle ssh) {
    Bound<ckabi::CkSsh_Dispose_t>(1, "CkSsh_Dispose")(ssh);
}

void CkSsh_putIdleTimeoutMs(ckabi::Handle ssh, std::int32_t ms) {
    Bound<ckabi::CkSsh_putIdleTimeoutMs_t>(56, "CkSsh_putIdleTimeoutMs")(ssh, ms);
}

ckabi::Text CkSsh__lastErrorText(ckabi::Handle ssh) {
    return Bound<ckabi::CkSsh__lastErrorText_t>(63, "CkSsh__lastErrorText")(ssh);
}

ckabi::Bool CkSsh_getLastMethodSuccess(ckabi::Handle ssh) {
    return Bound<ckabi::CkSsh_getLastMethodSuccess_t>(66, "CkSsh_getLastMethodSuccess")(ssh);
}

ckabi::Bool CkSsh_AuthenticatePw(ckabi::Handle ssh, ckabi::Text login, ckabi::Text password) {
    return Bound<ckabi::CkSsh_AuthenticatePw_t>(118, "CkSsh_AuthenticatePw")(ssh, login, password);
}

ckabi::Bool CkSsh_Connect(ckabi::Handle ssh, ckabi::Text host, std::int32_t port) {
    return Bound<ckabi::CkSsh_Connect_t>(155, "CkSsh_Connect")(ssh, host, port);
}

void CkSsh_Disconnect(ckabi::Handle ssh) {
    Bound<ckabi::CkSsh_Disconnect_t>(162, "CkSsh_Disconnect")(ssh);
}

ckabi::Text CkSsh__quickCommand(ckabi::Handle ssh, ckabi::Text command, ckabi::Text charset) {
    return Bound<ckabi::CkSsh__quickCommand_t>(195, "CkSsh__quickCommand")(ssh, command, charset);
}

} // namespace Ssh
