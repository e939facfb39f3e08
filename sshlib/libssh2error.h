// The one place where libssh2's error codes become words a technician can act on.
#pragma once

#include "errortext.h"

#include <libssh2.h>

#include <string_view>

namespace sshlib {

// Records libssh2's failure rc of step in err: our words for the code, then libssh2's own last
// error text of session (may be null). True when the failure leaves the transport in an unknown
// state, so that the session cannot go on.
bool libraryFailure(LIBSSH2_SESSION *session, ErrorText &err, std::string_view step, int rc);

// Whether a libssh2 failure leaves the transport in an unknown state.
bool isTransportError(int rc);

} // namespace sshlib
