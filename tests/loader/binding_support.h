// What the in-process binding tests share: the slot tables, the loaded fake library's log of
// calls, and the loader's look-ups as the spy saw them.
#pragma once

#include "Scp.h"
#include "Ssh.h"
#include "ckDllLoader.h"
#include "loader_spy.h"
#include "shown_text.h"

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
    return ShownText(text);
}

// The calls the loaded fake library has seen since the last time this was asked.
inline std::string FakeTakeCalls() {
    using Take = const char *(CKAPI_CALL *)();
    const auto take = reinterpret_cast<Take>(UnwatchedEntry("FakeTakeCalls"));
    return take != nullptr ? take() : "(the fake library is not loaded)";
}

// The loader's look-ups since the last Take; loading lines are left out.
inline std::vector<std::string> TakeLookups(LoaderSpy &spy) {
    std::vector<std::string> lookups;
    for (std::string &line : spy.Take()) {
        if (IsLookup(line)) {
            lookups.push_back(std::move(line));
        }
    }
    return lookups;
}

} // namespace loadertest
