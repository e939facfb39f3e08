// Paths on the PC side of a transfer: the chosen folder, the PC's separator, a file name.
#pragma once

#include "PcSeparator.h"

#include <QString>

#include <algorithm>
#include <array>
#include <string_view>

namespace burn {

inline constexpr std::u16string_view ConfigFileName = u"rtspserver.dat";

namespace detail {
inline constexpr auto ConfigFileSuffixChars = [] {
    std::array<char16_t, ConfigFileName.size() + 1> text{};
    text[0] = pcpath::Separator;
    std::copy(ConfigFileName.begin(), ConfigFileName.end(), text.begin() + 1);
    return text;
}();
} // namespace detail

// Appended to the working folder to name the configuration file on the PC.
inline constexpr std::u16string_view ConfigFileSuffix(detail::ConfigFileSuffixChars.data(),
                                                      detail::ConfigFileSuffixChars.size());

// The PC path of a file of a transfer set inside the chosen folder.
inline QString PcPath(const QString &folder, const QString &name) {
    return folder + QChar(pcpath::Separator) + name;
}

} // namespace burn
