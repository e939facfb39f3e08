#include "libssh2error.h"

#include <string>

namespace sshlib {

namespace {

const char *describe(int rc) {
    switch (rc) {
    case LIBSSH2_ERROR_BANNER_RECV:
    case LIBSSH2_ERROR_BANNER_SEND:
        return "the other side does not speak SSH";
    case LIBSSH2_ERROR_KEX_FAILURE:
    case LIBSSH2_ERROR_METHOD_NOT_SUPPORTED:
        return "the board offers no key exchange, host key, cipher or MAC that this tool knows";
    case LIBSSH2_ERROR_HOSTKEY_INIT:
    case LIBSSH2_ERROR_HOSTKEY_SIGN:
        return "the board's host key could not be verified";
    case LIBSSH2_ERROR_SOCKET_SEND:
    case LIBSSH2_ERROR_SOCKET_RECV:
    case LIBSSH2_ERROR_SOCKET_DISCONNECT:
        return "the connection to the board was lost";
    case LIBSSH2_ERROR_TIMEOUT:
    case LIBSSH2_ERROR_SOCKET_TIMEOUT:
        return "the board stopped answering";
    case LIBSSH2_ERROR_AUTHENTICATION_FAILED:
    case LIBSSH2_ERROR_PUBLICKEY_UNVERIFIED:
        return "the board refused the login";
    case LIBSSH2_ERROR_PASSWORD_EXPIRED:
        return "the password has expired on the board";
    case LIBSSH2_ERROR_CHANNEL_FAILURE:
    case LIBSSH2_ERROR_CHANNEL_REQUEST_DENIED:
        return "the board refused to run the command";
    case LIBSSH2_ERROR_CHANNEL_CLOSED:
    case LIBSSH2_ERROR_CHANNEL_EOF_SENT:
        return "the board closed the channel";
    case LIBSSH2_ERROR_ALLOC:
        return "out of memory";
    case LIBSSH2_ERROR_DECRYPT:
    case LIBSSH2_ERROR_INVALID_MAC:
    case LIBSSH2_ERROR_PROTO:
        return "the data from the board was damaged or broke the SSH protocol";
    default:
        return "the SSH library reported an error";
    }
}

} // namespace

bool isTransportError(int rc) {
    switch (rc) {
    case LIBSSH2_ERROR_CHANNEL_FAILURE:
    case LIBSSH2_ERROR_CHANNEL_REQUEST_DENIED:
    case LIBSSH2_ERROR_CHANNEL_CLOSED:
    case LIBSSH2_ERROR_CHANNEL_EOF_SENT:
    case LIBSSH2_ERROR_AUTHENTICATION_FAILED:
    case LIBSSH2_ERROR_PASSWORD_EXPIRED:
    case LIBSSH2_ERROR_PUBLICKEY_UNVERIFIED:
    case LIBSSH2_ERROR_CHANNEL_OUTOFORDER:
        return false;
    default:
        return true;
    }
}

bool libraryFailure(LIBSSH2_SESSION *session, ErrorText &err, std::string_view step, int rc) {
    char *msg = nullptr;
    int len = 0;
    if (session)
        libssh2_session_last_error(session, &msg, &len, 0);
    std::string cause = describe(rc);
    if (msg && len > 0)
        cause += " (" + std::string(msg, static_cast<std::size_t>(len)) + ")";
    err.fail(step, cause);
    return isTransportError(rc);
}

} // namespace sshlib
