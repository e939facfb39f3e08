// Test side of the scripted fake library: loads it by full path before the program's loader
// looks for ChilkatDelphi32.dll (which then finds it already loaded) and reaches the FakeCk_
// scripting exports, through the same platform loader as the program's (board's dynlib.h).
// FAKECK_PATH names the fake's file (set by fakeck_use() in CMake).
#pragma once

#include "dynlib.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

class FakeCk {
public:
    FakeCk() {
        // CMake writes forward slashes; the platform's own separators go to its loader.
        const std::u8string path = std::filesystem::path(FAKECK_PATH).make_preferred().u8string();
        module_ = dynlib::LoadByName(std::string(path.begin(), path.end()));
        if (module_ == 0) {
            throw std::runtime_error(std::string("cannot load the fake library ") + FAKECK_PATH);
        }
        BindAll();
    }

    // The ChilkatDelphi32.dll the process has already loaded, wherever it came from; it must be
    // the fake.
    struct AlreadyLoaded {};
    explicit FakeCk(AlreadyLoaded) : module_(dynlib::FindLoaded("ChilkatDelphi32.dll")) {
        if (module_ == 0) {
            throw std::runtime_error("ChilkatDelphi32.dll is not loaded");
        }
        BindAll();
    }

private:
    void BindAll() {
        Bind(reset_, "FakeCk_Reset");
        Bind(failCall_, "FakeCk_FailCall");
        Bind(setOutput_, "FakeCk_SetOutput");
        Bind(setErrorText_, "FakeCk_SetErrorText");
        Bind(callCount_, "FakeCk_CallCount");
        Bind(call_, "FakeCk_Call");
        Bind(callTimeMs_, "FakeCk_CallTimeMs");
        Bind(liveSessions_, "FakeCk_LiveSessions");
        Bind(liveTransfers_, "FakeCk_LiveTransfers");
        Bind(misuse_, "FakeCk_Misuse");
    }

public:
    FakeCk(const FakeCk &) = delete;
    FakeCk &operator=(const FakeCk &) = delete;
    // The library stays loaded: the program's loader holds it until the process ends.

    void Reset() { reset_(); }
    void FailCall(const char *entry, int n) { failCall_(entry, n); }
    void SetOutput(const char16_t *command, const char16_t *output) { setOutput_(command, output); }
    void SetErrorText(const char *entry, const char16_t *text) { setErrorText_(entry, text); }
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (int i = 0, n = callCount_(); i < n; ++i) {
            calls.emplace_back(call_(i));
        }
        return calls;
    }
    double CallTimeMs(int index) const { return callTimeMs_(index); }
    int LiveSessions() const { return liveSessions_(); }
    int LiveTransfers() const { return liveTransfers_(); }
    int Misuse() const { return misuse_(); }

private:
    template <class F> void Bind(F &fn, const char *name) {
        void *address = dynlib::Symbol(module_, name);
        if (address == nullptr) {
            throw std::runtime_error(std::string("the fake library lacks ") + name);
        }
        fn = reinterpret_cast<F>(address);
    }

    dynlib::Module module_ = 0;
    void (*reset_)() = nullptr;
    void (*failCall_)(const char *, int) = nullptr;
    void (*setOutput_)(const char16_t *, const char16_t *) = nullptr;
    void (*setErrorText_)(const char *, const char16_t *) = nullptr;
    int (*callCount_)() = nullptr;
    const char *(*call_)(int) = nullptr;
    double (*callTimeMs_)(int) = nullptr;
    int (*liveSessions_)() = nullptr;
    int (*liveTransfers_)() = nullptr;
    int (*misuse_)() = nullptr;
};
