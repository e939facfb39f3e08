#include "errortext.h"

#include "textconv.h"

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

void ErrorText::append(std::vector<Run> &runs, std::string bytes, bool board) {
    if (bytes.empty())
        return;
    runs.push_back({std::move(bytes), board});
}

void ErrorText::begin(std::string before, std::string_view boardWords, std::string after) {
    title_.clear();
    append(title_, std::move(before), false);
    append(title_, std::string(boardWords), true);
    append(title_, std::move(after), false);
    runs_.clear();
    text_.clear();
}

void ErrorText::fail(std::string_view step, std::string_view cause, std::string_view board) {
    // Only the first failure of a call counts; later ones are consequences of it.
    if (!text_.empty())
        return;
    runs_ = title_;
    append(runs_, " failed.\nStep: " + std::string(step) + "\nCause: " + std::string(cause), false);
    std::string words = tidy(board);
    if (!words.empty()) {
        append(runs_, "\nBoard says: ", false);
        append(runs_, std::move(words), true);
    }
    for (const Run &run : runs_)
        text_ += run.bytes;
}

std::u16string ErrorText::decoded(std::u16string_view charset) const {
    std::u16string out;
    for (const Run &run : runs_)
        out += run.board ? text::decode(run.bytes, charset) : text::fromUtf8(run.bytes);
    return out;
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
