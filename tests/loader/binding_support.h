// What the in-process binding tests share: reading the slot tables and the fake library's log.
#pragma once

#include "Scp.h"
#include "Ssh.h"
#include "ckDllLoader.h"
#include "dl_spy.h"

#include <string>
#include <vector>

namespace loadertest {

enum class Family { Ssh, Scp };

// Handles beyond 16 bits, so that a narrowed argument shows in the fake's log.
constexpr ckabi::Handle Session = 70001;
constexpr ckabi::Handle Transfer = 70002;

inline void *SlotOf(Family family, int slot) {
    return family == Family::Ssh ? Ssh::SshEntries.at(static_cast<std::size_t>(slot))
                                 : Scp::ScpEntries.at(static_cast<std::size_t>(slot));
}

inline std::string Shown(unsigned long value) {
    return std::to_string(value);
}

inline std::string Shown(ckabi::Text text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::string shown = "[";
    for (; *text != 0; ++text) {
        shown += static_cast<char>(*text);
    }
    return shown + "]";
}

// The calls the loaded fake library has seen since the last time this was asked.
inline std::string FakeTakeCalls() {
    using Take = const char *(CKAPI_CALL *)();
    void *module = reinterpret_cast<void *>(ckDllLoader::DllHandle);
    const auto take = reinterpret_cast<Take>(dlspy::RealSymbol(module, "FakeTakeCalls"));
    return take != nullptr ? take() : "(the fake library is not loaded)";
}

// The loader's look-ups since the last Take; loading lines are left out.
inline std::vector<std::string> TakeLookups() {
    std::vector<std::string> lookups;
    for (std::string &line : dlspy::Take()) {
        if (line.starts_with("dlsym ")) {
            lookups.push_back(std::move(line));
        }
    }
    return lookups;
}

} // namespace loadertest
