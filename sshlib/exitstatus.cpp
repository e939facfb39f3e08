#include "exitstatus.h"

extern "C" void sshlib_exitstatus_set(LIBSSH2_CHANNEL *channel, int status);

namespace sshlib::exitstatus {

void mark(LIBSSH2_CHANNEL *channel) {
    sshlib_exitstatus_set(channel, NotReported);
}

} // namespace sshlib::exitstatus
