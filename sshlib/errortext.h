// The readable account of an object's last failure: what was being done, the step that
// failed, the cause, and the board's own words where it sent any.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sshlib {

class ErrorText {
public:
    // Starts a new method call: the old text goes.
    void begin(std::string title) { begin(std::move(title), {}, {}); }
    // The same for a title that quotes the board's words (a command, in the board's charset).
    void begin(std::string before, std::string_view boardWords, std::string after);
    void fail(std::string_view step, std::string_view cause, std::string_view board = {});
    // The text as bytes: our words in UTF-8, the board's as it sent them.
    const std::string &text() const { return text_; }
    bool failed() const { return !text_.empty(); }
    // The text for the caller. Our words are UTF-8; the board's are decoded with charset, the
    // one its command output is decoded with, so that both read alike.
    std::u16string decoded(std::u16string_view charset) const;

private:
    // The title, then what fail() added, as runs of bytes: ours, or the board's.
    struct Run {
        std::string bytes;
        bool board;
    };
    void append(std::vector<Run> &runs, std::string bytes, bool board);

    std::vector<Run> title_;
    std::vector<Run> runs_;
    std::string text_;
};

// Quotes a text for an error message, keeping it on one line.
std::string quoted(std::string_view text);

} // namespace sshlib
