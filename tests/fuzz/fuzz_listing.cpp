// The board's listing and mount table, as the board may send them: any UTF-16 text.
#include "ListingDecoder.h"
#include "MountTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    std::size_t lines = 1;
    for (char16_t c : text)
        lines += c == u'\n';
    const auto names = recording::DecodeListing(text);
    if (names.size() > lines)
        std::abort();
    for (const auto &name : names) {
        // Every name stands in the output, marked, and holds no line break.
        if (name.empty() || name.find(u'\n') != std::u16string::npos ||
            text.find(name + u"*") == std::u16string::npos)
            std::abort();
    }
    recording::IsMountedAt(text, u"/mnt/usb");
    return 0;
}
