// Windows only: the system's own text for an error code, as UTF-8 on one line.
#pragma once

#include <string>

namespace sshlib {
std::string windowsErrorText(unsigned long code);
}
