#include "MountTable.h"

namespace recording {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// The field-th blank-separated field of the line (from 0), or an empty view.
std::u16string_view Field(std::u16string_view line, int field) {
    std::size_t pos = 0;
    for (int i = 0;; ++i) {
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < line.size() && !IsBlank(line[end])) {
            ++end;
        }
        if (pos == end || i == field) {
            return line.substr(pos, end - pos);
        }
        pos = end;
    }
}

} // namespace

bool IsMountedAt(std::u16string_view mounts, std::u16string_view folder) {
    if (folder.empty()) {
        return false;
    }
    std::size_t start = 0;
    while (start < mounts.size()) {
        std::size_t end = mounts.find(u'\n', start);
        if (end == std::u16string_view::npos) {
            end = mounts.size();
        }
        std::u16string_view line = mounts.substr(start, end - start);
        if (line.ends_with(u'\r')) {
            line.remove_suffix(1);
        }
        if (Field(line, 1) == folder) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace recording
