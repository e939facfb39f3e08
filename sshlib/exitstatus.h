// Whether the board reported how a channel's program ended. libssh2 gives 0 both for "exit
// status 0" and for "no exit status at all", and a board that closes a channel without one has
// not shown that its program ran to its end.
#pragma once

#include <libssh2.h>

namespace sshlib::exitstatus {

// The status libssh2 gives for a marked channel whose board reported none.
constexpr int NotReported = -2147483647 - 1;

// Call right after the channel is open, before its command starts: marks its status as "not
// reported" in libssh2's own channel record, which the board's exit status then overwrites.
void mark(LIBSSH2_CHANNEL *channel);

} // namespace sshlib::exitstatus
