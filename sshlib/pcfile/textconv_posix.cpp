// Elsewhere than Windows the locale's charset is taken to be UTF-8, as the toolkit does.
#include "textconv.h"

namespace sshlib::text {

std::u16string decodeAnsi(std::string_view bytes) {
    return fromUtf8(bytes);
}

std::string encodeAnsi(std::u16string_view text) {
    return toUtf8(text);
}

} // namespace sshlib::text
