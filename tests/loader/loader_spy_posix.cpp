// The spy on Linux: the programs linked with it are linked with
// --wrap=dlopen,--wrap=dlsym,--wrap=dlclose, so every such call of theirs lands here and is
// passed on unchanged. Lines:
//   dlopen ChilkatDelphi32.dll NOLOAD -> none
//   dlopen /folder/ChilkatDelphi32.dll -> #1
//   dlsym #1 CkSsh_Create -> found
//   dlclose #1
#include "loader_spy.h"

#include "ckDllLoader.h"

#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <utility>

extern "C" {
void *__real_dlopen(const char *file, int mode);
void *__real_dlsym(void *module, const char *name);
int __real_dlclose(void *module);
void *__wrap_dlopen(const char *file, int mode);
void *__wrap_dlsym(void *module, const char *name);
int __wrap_dlclose(void *module);
}

namespace loadertest {
namespace {

struct Watch {
    std::vector<std::string> *lines = nullptr;
    std::map<void *, int> numbers;
    bool echo = false;
};

// Never destroyed: the release at program end runs in a static destructor of the code under
// test, possibly after this file's statics would be gone.
Watch &TheWatch() {
    static Watch &watch = *new Watch;
    return watch;
}

std::string Shown(void *module) {
    if (module == nullptr) {
        return "none";
    }
    auto &numbers = TheWatch().numbers;
    const auto [at, added] = numbers.try_emplace(module, static_cast<int>(numbers.size()) + 1);
    return "#" + std::to_string(at->second);
}

void Record(const std::string &line) {
    Watch &watch = TheWatch();
    if (watch.echo) {
        WriteLine(line);
    }
    if (watch.lines != nullptr) {
        watch.lines->push_back(line);
    }
}

} // namespace

LoaderSpy::LoaderSpy() {
    TheWatch().lines = &lines_;
}

LoaderSpy::~LoaderSpy() {
    TheWatch().lines = nullptr;
}

std::vector<std::string> LoaderSpy::Take() {
    return std::exchange(lines_, {});
}

void EchoLoaderCallsUntilExit() {
    TheWatch().echo = true;
}

void WriteLine(const std::string &line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void *UnwatchedEntry(const char *name) {
    void *module = reinterpret_cast<void *>(ckDllLoader::DllHandle);
    return module != nullptr ? __real_dlsym(module, name) : nullptr;
}

bool IsLookup(const std::string &line) {
    return line.starts_with("dlsym ");
}

std::string ExpectFindLoaded(const std::string &module) {
    return "dlopen ChilkatDelphi32.dll NOLOAD -> " + module;
}

std::string ExpectLoad(const std::string &file, const std::string &module) {
    return "dlopen " + file + " -> " + module;
}

std::string ExpectLoadBesideProgram(const std::string &folder, const std::string &module) {
    return ExpectLoad(folder + "/ChilkatDelphi32.dll", module);
}

std::string ExpectLookup(const std::string &module, const std::string &entry, bool found) {
    return "dlsym " + module + " " + entry + " -> " + (found ? "found" : "none");
}

std::string ExpectRelease(const std::string &module) {
    return "dlclose " + module;
}

} // namespace loadertest

void *__wrap_dlopen(const char *file, int mode) {
    using namespace loadertest;
    void *module = __real_dlopen(file, mode);
    Record(std::string("dlopen ") + (file ? file : "(null)") +
           ((mode & RTLD_NOLOAD) ? " NOLOAD" : "") + " -> " + Shown(module));
    return module;
}

void *__wrap_dlsym(void *module, const char *name) {
    using namespace loadertest;
    void *entry = __real_dlsym(module, name);
    Record("dlsym " + Shown(module) + " " + name + " -> " + (entry ? "found" : "none"));
    return entry;
}

int __wrap_dlclose(void *module) {
    using namespace loadertest;
    Record("dlclose " + Shown(module));
    return __real_dlclose(module);
}
