// Text conversion between the UTF-16 of the library's interface and the bytes that cross the
// wire or name local files. Nothing here ever drops or cuts text: what cannot be decoded
// becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace sshlib::text {

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);

// UTF-8 to UTF-16; every invalid byte and every NUL becomes U+FFFD.
std::u16string fromUtf8(std::string_view bytes);

// Command output decoded under a charset name as the callers pass it ("ansi", "utf-8", ...).
// "ansi" is the system's ANSI code page on Windows and the locale's charset elsewhere.
std::u16string decode(std::string_view bytes, std::u16string_view charset);

// A command encoded for the board under the same charset name.
std::string encode(std::u16string_view text, std::u16string_view charset);

// The platform's own choice for "ansi"; lives in the _posix/_win pair.
std::u16string decodeAnsi(std::string_view bytes);
std::string encodeAnsi(std::u16string_view text);

} // namespace sshlib::text
