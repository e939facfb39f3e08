#include "longpath.h"

#include <vector>

namespace sshlib::localfile {

namespace {
bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool isDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// The names between separators, with "." and ".." resolved; `kept` names at the front (a share's
// server and share) are never taken away by "..".
std::vector<std::u16string_view> names(std::u16string_view rest, std::size_t kept) {
    std::vector<std::u16string_view> out;
    std::size_t at = 0;
    while (at < rest.size()) {
        std::size_t end = at;
        while (end < rest.size() && !isSeparator(rest[end]))
            ++end;
        const std::u16string_view name = rest.substr(at, end - at);
        if (name == u"..") {
            if (out.size() > kept)
                out.pop_back();
        } else if (!name.empty() && name != u".") {
            out.push_back(name);
        }
        at = end + 1;
    }
    return out;
}
} // namespace

PathForm windowsPathForm(std::u16string_view path) {
    if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == u':' && isSeparator(path[2]))
        return PathForm::Drive;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        if (path.size() >= 4 && (path[2] == u'?' || path[2] == u'.') && isSeparator(path[3]))
            return PathForm::Prefixed;
        if (path.size() >= 3 && !isSeparator(path[2]))
            return PathForm::Share;
    }
    if (path.size() >= 4 && path.substr(0, 4) == u"\\??\\")
        return PathForm::Prefixed;
    return PathForm::Relative;
}

std::u16string windowsLongPath(std::u16string_view path) {
    const PathForm form = windowsPathForm(path);
    if (path.size() < MaxPath || (form != PathForm::Drive && form != PathForm::Share))
        return std::u16string(path);

    std::u16string out;
    std::size_t kept = 0;
    std::vector<std::u16string_view> parts;
    if (form == PathForm::Drive) {
        out = u"\\\\?\\";
        out += path.substr(0, 2);
        parts = names(path.substr(3), kept);
    } else {
        out = u"\\\\?\\UNC";
        kept = 2;
        parts = names(path.substr(2), kept);
    }
    const bool trailingSeparator = isSeparator(path.back());
    const std::size_t lastStart = path.find_last_of(u"\\/") + 1;
    const std::u16string_view lastGiven = path.substr(lastStart);
    if (!trailingSeparator && lastGiven != u"." && lastGiven != u".." && parts.size() > kept) {
        std::u16string_view &name = parts.back();
        while (!name.empty() && (name.back() == u'.' || name.back() == u' '))
            name.remove_suffix(1);
        if (name.empty())
            parts.pop_back();
    }
    for (const std::u16string_view name : parts) {
        out += u'\\';
        out += name;
    }
    if (trailingSeparator || (form == PathForm::Drive && parts.empty()))
        out += u'\\';
    return out;
}

} // namespace sshlib::localfile
