// Binding of the CkSsh_ family: one operation per entry point, named like it, bound lazily
// into a fixed slot at its first call.
#pragma once

#include "ckabi.h"

#include <array>
#include <string>

namespace Ssh {

constexpr int SshEntryCount = 229;
extern std::array<void *, SshEntryCount> SshEntries;

// The cached address of the slot, bound first if the slot is empty. Raises what GetDllEntry raises.
void *SshEntry(int Slot, const std::string &EntryName);
// The same for a literal name, so that a bound slot costs no text construction.
void *SshEntry(int Slot, const char *EntryName);

ckabi::Handle CkSsh_Create();                                    // slot 0
void CkSsh_Dispose(ckabi::Handle ssh);                           // slot 1
void CkSsh_putIdleTimeoutMs(ckabi::Handle ssh, std::int32_t ms); // slot 56
ckabi::Text CkSsh__lastErrorText(ckabi::Handle ssh);             // slot 63
ckabi::Bool CkSsh_getLastMethodSuccess(ckabi::Handle ssh);       // slot 66
ckabi::Bool CkSsh_AuthenticatePw(ckabi::Handle ssh, ckabi::Text login,
                                 ckabi::Text password);                            // slot 118
ckabi::Bool CkSsh_Connect(ckabi::Handle ssh, ckabi::Text host, std::int32_t port); // slot 155
void CkSsh_Disconnect(ckabi::Handle ssh);                                          // slot 162
ckabi::Text CkSsh__quickCommand(ckabi::Handle ssh, ckabi::Text command,
                                ckabi::Text charset); // slot 195

} // namespace Ssh
