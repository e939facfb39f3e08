// The readable account of an object's last failure: what was being done, the step that
// failed, the cause, and the board's own words where it sent any.
#pragma once

#include <string>
#include <string_view>

namespace sshlib {

class ErrorText {
public:
    // Starts a new method call: the old text goes.
    void begin(std::string title) {
        title_ = std::move(title);
        text_.clear();
    }
    void fail(std::string_view step, std::string_view cause, std::string_view board = {});
    const std::string &text() const { return text_; }
    bool failed() const { return !text_.empty(); }

private:
    std::string title_;
    std::string text_;
};

// Quotes a text for an error message, keeping it on one line.
std::string quoted(std::string_view text);

} // namespace sshlib
