// Windows' path forms, kept free of Windows so that the conversion is tested on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sshlib::localfile {

// Windows' limit on a path in its ordinary form, the terminating NUL included.
inline constexpr std::size_t MaxPath = 260;

enum class PathForm {
    Drive,    // C:\folder\file
    Share,    // \\server\share\folder\file
    Prefixed, // \\?\... or \\.\...: already the system's own form
    Relative, // file, folder\file, \folder\file, C:file: resolved against the current folder
};

// How Windows reads a path; "/" counts as "\" wherever Windows takes it so.
PathForm windowsPathForm(std::u16string_view path);

// The path as Windows' file calls take it at any length. A drive or share path of MaxPath
// characters or more becomes "\\?\C:\..." or "\\?\UNC\server\share\...". With that prefix the
// system takes the path literally, so what it would otherwise do is done here: "/" becomes "\",
// doubled separators, "." and ".." are resolved (never above the drive or the share), and the
// last name loses its trailing dots and spaces. A trailing separator stays, as one "\".
// Shorter paths, prefixed ones and relative ones (make those absolute first) come back as given.
std::u16string windowsLongPath(std::u16string_view path);

} // namespace sshlib::localfile
