// ckrun's texts at the command line: arguments in as UTF-16, results out as bytes for the
// terminal. The one place where this differs by platform.
#pragma once

#include <string>
#include <vector>

namespace cmdline {

// argv as UTF-16. On Windows it is read from the wide command line instead, so that a path
// outside the ANSI code page reaches the library intact. Empty if the two disagree.
std::vector<std::u16string> arguments(int argc, char **argv);

// A text returned by the library, for stdout (UTF-8; a null is empty).
std::string printable(const char16_t *text);

} // namespace cmdline
