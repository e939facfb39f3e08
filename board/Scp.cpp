#include "Scp.h"

#include "ckDllLoader.h"

namespace Scp {

std::array<void *, ScpEntryCount> ScpEntries{};

void *ScpEntry(int Slot, const char *EntryName) {
    void *&entry = ScpEntries.at(static_cast<std::size_t>(Slot));
    if (entry == nullptr) {
        entry = ckDllLoader::GetDllEntry(EntryName);
    }
    return entry;
}

void *ScpEntry(int Slot, const std::string &EntryName) {
    return ScpEntry(Slot, EntryName.c_str());
}

namespace {

template <typename Entry> Entry Bound(int Slot, const char *EntryName) {
    return reinterpret_cast<Entry>(ScpEntry(Slot, EntryName));
}

} // namespace

ckabi::Handle CkScp_Create() {
    return Bound<ckabi::CkScp_Create_t>(0, "CkScp_Create")();
}

void CkScp_Dispose(ckabi::Handle scp) {
    Bound<ckabi::CkScp_Dispose_t>(1, "CkScp_Dispose")(scp);
}

ckabi::Text CkScp__lastErrorText(ckabi::Handle scp) {
    return Bound<ckabi::CkScp__lastErrorText_t>(12, "CkScp__lastErrorText")(scp);
}

ckabi::Bool CkScp_DownloadFile(ckabi::Handle scp, ckabi::Text remotePath, ckabi::Text localPath) {
    return Bound<ckabi::CkScp_DownloadFile_t>(54, "CkScp_DownloadFile")(scp, remotePath, localPath);
}

ckabi::Bool CkScp_UploadFile(ckabi::Handle scp, ckabi::Text localPath, ckabi::Text remotePath) {
    return Bound<ckabi::CkScp_UploadFile_t>(71, "CkScp_UploadFile")(scp, localPath, remotePath);
}

ckabi::Bool CkScp_UseSsh(ckabi::Handle scp, ckabi::Handle ssh) {
    return Bound<ckabi::CkScp_UseSsh_t>(75, "CkScp_UseSsh")(scp, ssh);
}

} // namespace Scp
