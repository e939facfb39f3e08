// How the fake library's log and the tests show a library text: "[text]", or "(null)". The
// tests' texts are ASCII, one character per UTF-16 unit.
#pragma once

#include "ckabi.h"

#include <string>

namespace loadertest {

inline std::string ShownText(ckabi::Text text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::string shown = "[";
    for (; *text != 0; ++text) {
        shown += static_cast<char>(*text);
    }
    return shown + "]";
}

} // namespace loadertest
