// Whether the board reported how a channel's program ended. libssh2 gives 0 both for "exit
// status 0" and for "no exit status at all", and a board that closes a channel without one has
// not shown that its program ran to its end.
#pragma once

#include <libssh2.h>

namespace sshlib::exitstatus {

// Call right after the channel is open: marks its status as "not reported". Returns false
// when this libssh2 keeps its channels in a way we do not recognise; the two cases then
// cannot be told apart and every close counts as reported.
bool mark(LIBSSH2_CHANNEL *channel);

// The status libssh2 gives for a marked channel whose board reported none.
constexpr int NotReported = -2147483647 - 1;

} // namespace sshlib::exitstatus
