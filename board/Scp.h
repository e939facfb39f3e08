// Binding of the CkScp_ family: one operation per entry point, named like it, bound lazily
// into a fixed slot at its first call.
#pragma once

#include "ckabi.h"

#include <array>
#include <string>

namespace Scp {

constexpr int ScpEntryCount = 76;
extern std::array<void *, ScpEntryCount> ScpEntries;

void *ScpEntry(int Slot, const std::string &EntryName);
// The same for a literal name, so that a bound slot costs no text construction.
void *ScpEntry(int Slot, const char *EntryName);

ckabi::Handle CkScp_Create();                        // slot 0
void CkScp_Dispose(ckabi::Handle scp);               // slot 1
ckabi::Text CkScp__lastErrorText(ckabi::Handle scp); // slot 12
ckabi::Bool CkScp_DownloadFile(ckabi::Handle scp, ckabi::Text remotePath,
                               ckabi::Text localPath); // slot 54
ckabi::Bool CkScp_UploadFile(ckabi::Handle scp, ckabi::Text localPath,
                             ckabi::Text remotePath);           // slot 71
ckabi::Bool CkScp_UseSsh(ckabi::Handle scp, ckabi::Handle ssh); // slot 75

} // namespace Scp
