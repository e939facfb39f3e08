// Reads the board's mount table (the text of /proc/mounts). Free of the window toolkit.
#pragma once

#include <string_view>

namespace recording {

// Whether the table has a file system mounted at the folder: a line whose second field, the
// mount point, is the folder exactly.
bool IsMountedAt(std::u16string_view mounts, std::u16string_view folder);

} // namespace recording
