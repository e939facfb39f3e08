#include "ListingDecoder.h"

namespace recording {

std::vector<std::u16string> DecodeListing(std::u16string_view output) {
    std::vector<std::u16string> names;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t feed = output.find(u'\n', start);
        const bool terminated = feed != std::u16string_view::npos;
        const std::size_t end = terminated ? feed : output.size();
        std::u16string_view line = output.substr(start, end - start);
        if (terminated && line.ends_with(u'\r')) {
            line.remove_suffix(1);
        }
        if (line.size() >= 2 && line.ends_with(u'*')) {
            line.remove_suffix(1);
            names.emplace_back(line);
        }
        start = end + 1;
    }
    return names;
}

} // namespace recording
