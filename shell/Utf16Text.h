// The library's texts are UTF-16; the window's are QStrings. One conversion for every user.
#pragma once

#include <QString>

#include <string_view>

namespace shell {

// A UTF-16 text, as the library and the board session give it, as a QString.
inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace shell
