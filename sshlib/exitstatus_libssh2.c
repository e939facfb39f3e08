/* The one place that reaches into libssh2's channel record. It is compiled against the private
 * header of the very libssh2 source that is linked, so the compiler finds the field: nothing
 * counts bytes. What it relies on beyond the layout (the field starts at 0, only an
 * "exit-status" message from the board writes it, and libssh2_channel_get_exit_status returns
 * it unchanged) is proven by the board tests against this version; a new version is taken
 * only after they pass on it. */
#include "libssh2_priv.h"

#if LIBSSH2_VERSION_NUM != 0x010b01
/* Proven on 1.11.1 only: run the board tests on the new version, then change this. */
#error "the exit-status mark is proven on libssh2 1.11.1 only"
#endif

void sshlib_exitstatus_set(LIBSSH2_CHANNEL *channel, int status);

void sshlib_exitstatus_set(LIBSSH2_CHANNEL *channel, int status) {
    channel->exit_status = status;
}
