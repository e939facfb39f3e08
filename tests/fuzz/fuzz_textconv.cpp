// Command output as the board may send it: any bytes, decoded for the log.
#include "textconv.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::u16string text = sshlib::text::decode(bytes, u"ansi");
    // Nothing cut: no NUL inside, and never fewer code units than characters could make.
    if (text.find(u'\0') != std::u16string::npos || text.size() * 4 < size)
        std::abort();
    // Valid input without NUL comes back unchanged.
    const std::string again = sshlib::text::toUtf8(text);
    if (bytes.find('\0') == std::string_view::npos &&
        text.find(u'\xFFFD') == std::u16string::npos && again != bytes)
        std::abort();
    sshlib::text::decode(again, u"utf-8");
    return 0;
}
