// The exported entry points: handles from a table, never pointers; an unknown handle is a
// harmless no-op. Returned texts belong to their object and stay valid until its next
// text-returning call.
#define CKAPI_BUILDING
#define CKAPI_DECLARE_EXPORTS
#include "ckabi.h"

#include "scp.h"
#include "session.h"
#include "textconv.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

using ckabi::Bool;
using ckabi::Handle;
using ckabi::Text;

namespace {

struct SshObject {
    sshlib::Session session;
    bool lastSuccess = false;
    std::u16string textOut;
    // The charset of the last command: the board's words in an error text are decoded with it,
    // as its output is.
    std::u16string charset = u"ansi";
};

struct ScpObject {
    Handle ssh = 0;
    sshlib::ErrorText error;
    std::u16string textOut;
};

// Both kinds share one counter, so a transfer handle passed as a session handle is unknown.
class Registry {
public:
    template <class T> Handle add(std::shared_ptr<T> obj) {
        std::lock_guard lock(mutex_);
        do {
            ++next_;
        } while (next_ == 0 || ssh_.count(next_) || scp_.count(next_));
        table<T>()[next_] = std::move(obj);
        return next_;
    }
    template <class T> std::shared_ptr<T> find(Handle h) {
        std::lock_guard lock(mutex_);
        auto &t = table<T>();
        const auto it = t.find(h);
        return it == t.end() ? nullptr : it->second;
    }
    template <class T> std::shared_ptr<T> take(Handle h) {
        std::lock_guard lock(mutex_);
        auto &t = table<T>();
        const auto it = t.find(h);
        if (it == t.end())
            return nullptr;
        auto obj = std::move(it->second);
        t.erase(it);
        return obj;
    }

private:
    template <class T> std::map<Handle, std::shared_ptr<T>> &table() {
        if constexpr (std::is_same_v<T, SshObject>)
            return ssh_;
        else
            return scp_;
    }
    std::mutex mutex_;
    Handle next_ = 0;
    std::map<Handle, std::shared_ptr<SshObject>> ssh_;
    std::map<Handle, std::shared_ptr<ScpObject>> scp_;
};

Registry &registry() {
    static Registry r;
    return r;
}

const char16_t EmptyText[] = u"";

std::u16string_view view(Text t) {
    return t ? std::u16string_view(t) : std::u16string_view();
}

Text keep(std::u16string &slot, std::u16string value) {
    slot = std::move(value);
    return slot.c_str();
}

} // namespace

Handle CKAPI_CALL CkSsh_Create() {
    return registry().add(std::make_shared<SshObject>());
}

void CKAPI_CALL CkSsh_Dispose(Handle ssh) {
    // Taken out of the table first; the session closes when the last user lets go of it.
    registry().take<SshObject>(ssh);
}

Bool CKAPI_CALL CkSsh_Connect(Handle ssh, Text host, std::int32_t port) {
    const auto obj = registry().find<SshObject>(ssh);
    if (!obj)
        return 0;
    obj->lastSuccess = obj->session.connect(view(host), port);
    return obj->lastSuccess;
}

void CKAPI_CALL CkSsh_putIdleTimeoutMs(Handle ssh, std::int32_t ms) {
    if (const auto obj = registry().find<SshObject>(ssh))
        obj->session.setIdleTimeout(ms);
}

Bool CKAPI_CALL CkSsh_AuthenticatePw(Handle ssh, Text login, Text password) {
    const auto obj = registry().find<SshObject>(ssh);
    if (!obj)
        return 0;
    obj->lastSuccess = obj->session.authenticate(view(login), view(password));
    return obj->lastSuccess;
}

Text CKAPI_CALL CkSsh__quickCommand(Handle ssh, Text command, Text charset) {
    const auto obj = registry().find<SshObject>(ssh);
    if (!obj)
        return EmptyText;
    obj->charset = view(charset);
    const auto out = obj->session.run(sshlib::text::encode(view(command), view(charset)));
    obj->lastSuccess = out.has_value();
    return keep(obj->textOut, out ? sshlib::text::decode(*out, view(charset)) : std::u16string());
}

Bool CKAPI_CALL CkSsh_getLastMethodSuccess(Handle ssh) {
    const auto obj = registry().find<SshObject>(ssh);
    return obj && obj->lastSuccess;
}

Text CKAPI_CALL CkSsh__lastErrorText(Handle ssh) {
    const auto obj = registry().find<SshObject>(ssh);
    if (!obj)
        return EmptyText;
    return keep(obj->textOut, obj->session.error().decoded(obj->charset));
}

void CKAPI_CALL CkSsh_Disconnect(Handle ssh) {
    if (const auto obj = registry().find<SshObject>(ssh))
        obj->session.disconnect();
}

Handle CKAPI_CALL CkScp_Create() {
    return registry().add(std::make_shared<ScpObject>());
}

void CKAPI_CALL CkScp_Dispose(Handle scp) {
    registry().take<ScpObject>(scp);
}

Bool CKAPI_CALL CkScp_UseSsh(Handle scp, Handle ssh) {
    const auto obj = registry().find<ScpObject>(scp);
    if (!obj)
        return 0;
    obj->error.begin("Attaching the transfer to SSH session " + std::to_string(ssh));
    const auto session = registry().find<SshObject>(ssh);
    if (!session) {
        obj->error.fail("finding the session", "there is no such SSH session");
        return 0;
    }
    if (!session->session.requireLoggedIn(obj->error))
        return 0;
    obj->ssh = ssh;
    return 1;
}

namespace {
// The session a transfer works over, or a failure text saying why there is none.
std::shared_ptr<SshObject> sessionOf(ScpObject &obj, const std::string &title) {
    auto session = obj.ssh ? registry().find<SshObject>(obj.ssh) : nullptr;
    if (!session) {
        obj.error.begin(title);
        obj.error.fail("finding the session", obj.ssh ? "its SSH session has been released"
                                                      : "no SSH session is attached (UseSsh)");
    }
    return session;
}
} // namespace

Bool CKAPI_CALL CkScp_UploadFile(Handle scp, Text localPath, Text remotePath) {
    const auto obj = registry().find<ScpObject>(scp);
    if (!obj)
        return 0;
    const auto session = sessionOf(*obj, "Upload");
    if (!session)
        return 0;
    return sshlib::scpUpload(session->session, obj->error, std::u16string(view(localPath)),
                             std::u16string(view(remotePath)));
}

Bool CKAPI_CALL CkScp_DownloadFile(Handle scp, Text remotePath, Text localPath) {
    const auto obj = registry().find<ScpObject>(scp);
    if (!obj)
        return 0;
    const auto session = sessionOf(*obj, "Download");
    if (!session)
        return 0;
    return sshlib::scpDownload(session->session, obj->error, std::u16string(view(remotePath)),
                               std::u16string(view(localPath)));
}

Text CKAPI_CALL CkScp__lastErrorText(Handle scp) {
    const auto obj = registry().find<ScpObject>(scp);
    if (!obj)
        return EmptyText;
    const auto session = obj->ssh ? registry().find<SshObject>(obj->ssh) : nullptr;
    return keep(obj->textOut, obj->error.decoded(session ? session->charset : u"ansi"));
}
