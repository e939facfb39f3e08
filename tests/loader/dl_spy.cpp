#include "dl_spy.h"

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

namespace {

struct Spy {
    std::vector<std::string> lines;
    std::map<void *, int> numbers;
    bool echo = false;
};

// Never destroyed: the release at program end runs in a static destructor of the code under
// test, possibly after this file's statics would be gone.
Spy &TheSpy() {
    static Spy &spy = *new Spy;
    return spy;
}

std::string Name(void *module) {
    if (module == nullptr) {
        return "none";
    }
    auto &numbers = TheSpy().numbers;
    const auto [at, added] = numbers.try_emplace(module, static_cast<int>(numbers.size()) + 1);
    return "#" + std::to_string(at->second);
}

void Record(std::string line) {
    Spy &spy = TheSpy();
    if (spy.echo) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    spy.lines.push_back(std::move(line));
}

} // namespace

namespace dlspy {

std::vector<std::string> Take() {
    return std::exchange(TheSpy().lines, {});
}

void EchoToStdout() {
    TheSpy().echo = true;
}

void *RealSymbol(void *module, const char *name) {
    return __real_dlsym(module, name);
}

} // namespace dlspy

void *__wrap_dlopen(const char *file, int mode) {
    void *module = __real_dlopen(file, mode);
    Record(std::string("dlopen ") + (file ? file : "(null)") +
           ((mode & RTLD_NOLOAD) ? " NOLOAD" : "") + " -> " + Name(module));
    return module;
}

void *__wrap_dlsym(void *module, const char *name) {
    void *entry = __real_dlsym(module, name);
    Record("dlsym " + Name(module) + " " + name + " -> " + (entry ? "found" : "none"));
    return entry;
}

int __wrap_dlclose(void *module) {
    Record("dlclose " + Name(module));
    return __real_dlclose(module);
}
