// A scripted stand-in for ChilkatDelphi32.dll. It exports the library's entry points and a few
// FakeCk_ functions with which a test says which calls fail, what commands output and which
// error texts the objects carry, and reads back every call made and the objects still alive.
#define CKAPI_BUILDING
#define CKAPI_DECLARE_EXPORTS
#include "ckabi.h"

#include "FakeCkApi.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

struct Object {
    bool session = true;
    bool alive = true;
    bool lastSuccess = true;
    std::u16string errorText;
    std::u16string returned; // the last text handed out, valid until the next one
};

struct Call {
    std::string text;
    double ms = 0;
};

struct State {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ckabi::Handle nextHandle = 1;
    std::map<ckabi::Handle, Object> objects;
    std::vector<Call> calls;
    std::map<std::string, int> counts;
    std::map<std::string, std::vector<int>> failures; // entry -> call numbers that fail (0: all)
    std::map<std::u16string, std::u16string> outputs;
    std::map<std::u16string, bool> nullOutputs;
    std::map<std::string, std::u16string> errorTexts;
    int misuse = 0;
};

State &S() {
    static State state;
    return state;
}

std::string Utf8(const char16_t *text) {
    if (text == nullptr) {
        return "null";
    }
    std::string out = "\"";
    for (const char16_t *p = text; *p != 0; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out + "\"";
}

std::string Args() {
    return {};
}
template <class First, class... Rest> std::string Args(First first, Rest... rest) {
    std::string head;
    if constexpr (std::is_same_v<First, const char16_t *>) {
        head = Utf8(first);
    } else {
        head = std::to_string(first);
    }
    if constexpr (sizeof...(rest) == 0) {
        return head;
    } else {
        return head + "," + Args(rest...);
    }
}

// Records the call and tells whether the script makes it fail.
template <class... A> bool Record(const char *entry, A... args) {
    State &s = S();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s.start)
            .count();
    s.calls.push_back({std::string(entry) + "(" + Args(args...) + ")", ms});
    const int n = ++s.counts[entry];
    const auto it = s.failures.find(entry);
    if (it == s.failures.end()) {
        return false;
    }
    for (const int k : it->second) {
        if (k == 0 || k == n) {
            return true;
        }
    }
    return false;
}

// The live object of the kind, or null (counted as misuse: a caller bug the tests look for).
Object *Find(ckabi::Handle h, bool session) {
    State &s = S();
    const auto it = s.objects.find(h);
    if (it == s.objects.end() || !it->second.alive || it->second.session != session) {
        ++s.misuse;
        return nullptr;
    }
    return &it->second;
}

ckabi::Bool Result(Object *o, bool failed, const char *entry) {
    if (o == nullptr) {
        return 0;
    }
    o->lastSuccess = !failed;
    if (failed) {
        const auto it = S().errorTexts.find(entry);
        o->errorText =
            it != S().errorTexts.end()
                ? it->second
                : std::u16string(entry, entry + std::char_traits<char>::length(entry)) + u" failed";
        return 0;
    }
    return 1;
}

ckabi::Text Hand(Object *o, std::u16string text) {
    if (o == nullptr) {
        return u"";
    }
    o->returned = std::move(text);
    return o->returned.c_str();
}

ckabi::Handle Create(bool session) {
    State &s = S();
    const ckabi::Handle h = s.nextHandle++;
    Object o;
    o.session = session;
    s.objects[h] = o;
    return h;
}

} // namespace

// ---- the library's entry points ----

CKAPI_EXPORT ckabi::Handle CKAPI_CALL CkSsh_Create() {
    Record("CkSsh_Create");
    return Create(true);
}

CKAPI_EXPORT void CKAPI_CALL CkSsh_Dispose(ckabi::Handle ssh) {
    Record("CkSsh_Dispose", ssh);
    if (Object *o = Find(ssh, true)) {
        o->alive = false;
    }
}

CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkSsh_Connect(ckabi::Handle ssh, ckabi::Text host,
                                                  std::int32_t port) {
    const bool failed = Record("CkSsh_Connect", ssh, host, port);
    return Result(Find(ssh, true), failed, "CkSsh_Connect");
}

CKAPI_EXPORT void CKAPI_CALL CkSsh_putIdleTimeoutMs(ckabi::Handle ssh, std::int32_t ms) {
    Record("CkSsh_putIdleTimeoutMs", ssh, ms);
    Find(ssh, true);
}

CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkSsh_AuthenticatePw(ckabi::Handle ssh, ckabi::Text login,
                                                         ckabi::Text password) {
    const bool failed = Record("CkSsh_AuthenticatePw", ssh, login, password);
    return Result(Find(ssh, true), failed, "CkSsh_AuthenticatePw");
}

CKAPI_EXPORT ckabi::Text CKAPI_CALL CkSsh__quickCommand(ckabi::Handle ssh, ckabi::Text command,
                                                        ckabi::Text charset) {
    const bool failed = Record("CkSsh__quickCommand", ssh, command, charset);
    Object *o = Find(ssh, true);
    Result(o, failed, "CkSsh__quickCommand");
    if (o == nullptr || failed || command == nullptr) {
        return failed ? nullptr : u"";
    }
    const std::u16string key(command);
    if (S().nullOutputs.count(key) != 0) {
        return nullptr;
    }
    const auto it = S().outputs.find(key);
    return Hand(o, it != S().outputs.end() ? it->second : std::u16string());
}

CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkSsh_getLastMethodSuccess(ckabi::Handle ssh) {
    const bool failed = Record("CkSsh_getLastMethodSuccess", ssh);
    Object *o = Find(ssh, true);
    if (failed && o != nullptr) {
        // A scripted failing check: the session's last call is taken to have failed.
        Result(o, true, "CkSsh_getLastMethodSuccess");
    }
    return o != nullptr && o->lastSuccess ? 1 : 0;
}

CKAPI_EXPORT ckabi::Text CKAPI_CALL CkSsh__lastErrorText(ckabi::Handle ssh) {
    Record("CkSsh__lastErrorText", ssh);
    Object *o = Find(ssh, true);
    return Hand(o, o != nullptr ? o->errorText : std::u16string());
}

CKAPI_EXPORT void CKAPI_CALL CkSsh_Disconnect(ckabi::Handle ssh) {
    Record("CkSsh_Disconnect", ssh);
    Find(ssh, true);
}

CKAPI_EXPORT ckabi::Handle CKAPI_CALL CkScp_Create() {
    Record("CkScp_Create");
    return Create(false);
}

CKAPI_EXPORT void CKAPI_CALL CkScp_Dispose(ckabi::Handle scp) {
    Record("CkScp_Dispose", scp);
    if (Object *o = Find(scp, false)) {
        o->alive = false;
    }
}

CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkScp_UseSsh(ckabi::Handle scp, ckabi::Handle ssh) {
    const bool failed = Record("CkScp_UseSsh", scp, ssh);
    Object *o = Find(scp, false);
    const bool sessionAlive = Find(ssh, true) != nullptr;
    return Result(o, failed || !sessionAlive, "CkScp_UseSsh");
}

CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkScp_UploadFile(ckabi::Handle scp, ckabi::Text localPath,
                                                     ckabi::Text remotePath) {
    const bool failed = Record("CkScp_UploadFile", scp, localPath, remotePath);
    return Result(Find(scp, false), failed, "CkScp_UploadFile");
}

CKAPI_EXPORT ckabi::Bool CKAPI_CALL CkScp_DownloadFile(ckabi::Handle scp, ckabi::Text remotePath,
                                                       ckabi::Text localPath) {
    const bool failed = Record("CkScp_DownloadFile", scp, remotePath, localPath);
    return Result(Find(scp, false), failed, "CkScp_DownloadFile");
}

CKAPI_EXPORT ckabi::Text CKAPI_CALL CkScp__lastErrorText(ckabi::Handle scp) {
    Record("CkScp__lastErrorText", scp);
    Object *o = Find(scp, false);
    return Hand(o, o != nullptr ? o->errorText : std::u16string());
}

// ---- the script ----

FAKECK_API void FakeCk_Reset() {
    S() = State();
}

FAKECK_API void FakeCk_FailCall(const char *entry, int n) {
    S().failures[entry].push_back(n);
}

FAKECK_API void FakeCk_SetOutput(const char16_t *command, const char16_t *output) {
    if (output == nullptr) {
        S().nullOutputs[command] = true;
        return;
    }
    S().nullOutputs.erase(command);
    S().outputs[command] = output;
}

FAKECK_API void FakeCk_SetErrorText(const char *entry, const char16_t *text) {
    S().errorTexts[entry] = text != nullptr ? text : u"";
}

FAKECK_API int FakeCk_CallCount() {
    return static_cast<int>(S().calls.size());
}

FAKECK_API const char *FakeCk_Call(int index) {
    const auto &calls = S().calls;
    return index >= 0 && static_cast<std::size_t>(index) < calls.size()
               ? calls[static_cast<std::size_t>(index)].text.c_str()
               : nullptr;
}

FAKECK_API double FakeCk_CallTimeMs(int index) {
    const auto &calls = S().calls;
    return index >= 0 && static_cast<std::size_t>(index) < calls.size()
               ? calls[static_cast<std::size_t>(index)].ms
               : -1;
}

FAKECK_API int FakeCk_LiveSessions() {
    int n = 0;
    for (const auto &[h, o] : S().objects) {
        n += o.alive && o.session ? 1 : 0;
    }
    return n;
}

FAKECK_API int FakeCk_LiveTransfers() {
    int n = 0;
    for (const auto &[h, o] : S().objects) {
        n += o.alive && !o.session ? 1 : 0;
    }
    return n;
}

FAKECK_API int FakeCk_Misuse() {
    return S().misuse;
}
