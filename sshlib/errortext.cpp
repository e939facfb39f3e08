#include "errortext.h"

namespace sshlib {

namespace {
// The board's words, trimmed of trailing line breaks; a line each.
std::string tidy(std::string_view s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.remove_suffix(1);
    std::string out;
    for (char c : s) {
        if (c == '\r')
            continue;
        out.push_back(c == '\0' ? ' ' : c);
        if (c == '\n')
            out += "  ";
    }
    return out;
}
} // namespace

void ErrorText::fail(std::string_view step, std::string_view cause, std::string_view board) {
    // Only the first failure of a call counts; later ones are consequences of it.
    if (!text_.empty())
        return;
    text_ = title_ + " failed.\nStep: " + std::string(step) + "\nCause: " + std::string(cause);
    const std::string words = tidy(board);
    if (!words.empty())
        text_ += "\nBoard says: " + words;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out.push_back(c);
    }
    return out + "\"";
}

} // namespace sshlib
