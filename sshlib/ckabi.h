// The binary interface of ChilkatDelphi32.dll: shared by the library, the loader's function
// types and any stand-in library the tests build, so a calling-convention mismatch cannot
// creep in on one side only.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define CKAPI_CALL __stdcall
#if defined(CKAPI_BUILDING)
#define CKAPI_EXPORT extern "C" __declspec(dllexport)
#else
#define CKAPI_EXPORT extern "C" __declspec(dllimport)
#endif
#else
#define CKAPI_CALL
#define CKAPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace ckabi {
using Handle = std::uint32_t;
using Bool = std::uint16_t;
using Text = const char16_t *;

// Function types of every entry point the tools use, in the exported form.
using CkSsh_Create_t = Handle(CKAPI_CALL *)();
using CkSsh_Dispose_t = void(CKAPI_CALL *)(Handle ssh);
using CkSsh_Connect_t = Bool(CKAPI_CALL *)(Handle ssh, Text host, std::int32_t port);
using CkSsh_putIdleTimeoutMs_t = void(CKAPI_CALL *)(Handle ssh, std::int32_t ms);
using CkSsh_AuthenticatePw_t = Bool(CKAPI_CALL *)(Handle ssh, Text login, Text password);
using CkSsh__quickCommand_t = Text(CKAPI_CALL *)(Handle ssh, Text command, Text charset);
using CkSsh_getLastMethodSuccess_t = Bool(CKAPI_CALL *)(Handle ssh);
using CkSsh__lastErrorText_t = Text(CKAPI_CALL *)(Handle ssh);
using CkSsh_Disconnect_t = void(CKAPI_CALL *)(Handle ssh);
using CkScp_Create_t = Handle(CKAPI_CALL *)();
using CkScp_Dispose_t = void(CKAPI_CALL *)(Handle scp);
using CkScp_UseSsh_t = Bool(CKAPI_CALL *)(Handle scp, Handle ssh);
using CkScp_UploadFile_t = Bool(CKAPI_CALL *)(Handle scp, Text localPath, Text remotePath);
using CkScp_DownloadFile_t = Bool(CKAPI_CALL *)(Handle scp, Text remotePath, Text localPath);
using CkScp__lastErrorText_t = Text(CKAPI_CALL *)(Handle scp);
} // namespace ckabi

// Exported declarations; only compiled into the library and its stand-ins.
#if defined(CKAPI_DECLARE_EXPORTS)
CKAPI_EXPORT ckabi::Handle CKAPI_CALL CkSsh_Create();
CKAPI_EXPORT void CKAPI_CALL CkSsh_Dispose(ckabi::Handle ssh);
CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkSsh_Connect(ckabi::Handle ssh, ckabi::Text host,
                                                  std::int32_t port);
CKAPI_EXPORT void CKAPI_CALL CkSsh_putIdleTimeoutMs(ckabi::Handle ssh, std::int32_t ms);
CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkSsh_AuthenticatePw(ckabi::Handle ssh, ckabi::Text login,
                                                         ckabi::Text password);
CKAPI_EXPORT ckabi::Text CKAPI_CALL CkSsh__quickCommand(ckabi::Handle ssh, ckabi::Text command,
                                                        ckabi::Text charset);
CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkSsh_getLastMethodSuccess(ckabi::Handle ssh);
CKAPI_EXPORT ckabi::Text CKAPI_CALL CkSsh__lastErrorText(ckabi::Handle ssh);
CKAPI_EXPORT void CKAPI_CALL CkSsh_Disconnect(ckabi::Handle ssh);
CKAPI_EXPORT ckabi::Handle CKAPI_CALL CkScp_Create();
CKAPI_EXPORT void CKAPI_CALL CkScp_Dispose(ckabi::Handle scp);
CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkScp_UseSsh(ckabi::Handle scp, ckabi::Handle ssh);
CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkScp_UploadFile(ckabi::Handle scp, ckabi::Text localPath,
                                                     ckabi::Text remotePath);
CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkScp_DownloadFile(ckabi::Handle scp, ckabi::Text remotePath,
                                                       ckabi::Text localPath);
CKAPI_EXPORT ckabi::Text CKAPI_CALL CkScp__lastErrorText(ckabi::Handle scp);
#endif
