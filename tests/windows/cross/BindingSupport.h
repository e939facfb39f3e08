// What the in-process binding tests share: the slot tables, the loaded fake library's log of
// calls, and the loader's look-ups as the spy saw them.
#pragma once

#include "LoaderSpy.h"
#include "Scp.h"
#include "Ssh.h"
#include "ckDllLoader.h"

#include <string>
#include <vector>

namespace wintest {

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

inline HMODULE Library() {
    return reinterpret_cast<HMODULE>(ckDllLoader::DllHandle);
}

// The calls the loaded fake library has seen since the last time this was asked.
inline std::string FakeTakeCalls() {
    using Take = const char *(CKAPI_CALL *)();
    void *entry = reinterpret_cast<void *>(UnwatchedGetProcAddress(Library(), "FakeTakeCalls"));
    const auto take = reinterpret_cast<Take>(entry);
    return take != nullptr ? take() : "(the fake library is not loaded)";
}

// The loader's look-ups since the last Take; loading lines are left out.
inline std::vector<std::string> TakeLookups(LoaderSpy &spy) {
    std::vector<std::string> lookups;
    for (std::string &line : spy.Take()) {
        if (line.starts_with("GetProcAddress ")) {
            lookups.push_back(std::move(line));
        }
    }
    return lookups;
}

} // namespace wintest
