// Reads the file names out of the board's "ls -F" output. Free of the window toolkit, so that
// tests and fuzzers reach it directly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace recording {

// The names the listing marks with "*" (the board's recordings show as executable files), in
// the listing's order and without the mark: one per line that ends in "*" and has a name before
// it. A carriage return before a line feed is dropped. Every other line (directories, other or
// no marks, blank lines, error texts, a lone "*") gives nothing. Linear in the output's length.
std::vector<std::u16string> DecodeListing(std::u16string_view output);

} // namespace recording
