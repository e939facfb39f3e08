// A program that uses the loader the way the tools do and prints what it did, down to the
// release at program end. The load-step tests run it in prepared folders and environments:
//   loader_probe [--preload PATH] none | bind | free | retry FAKE
//   --preload  loads PATH before anything else, as another part of a program might
//   none       no operation at all
//   bind       binds and calls CkSsh_Create
//   free       binds, then FreeDll twice
//   retry      binds while the library is missing, twice; then copies FAKE beside the program
//              and binds again
#include "Ssh.h"
#include "ckDllLoader.h"
#include "dl_spy.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Say(const std::string &line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void Bind() {
    try {
        Say("CkSsh_Create -> " + std::to_string(Ssh::CkSsh_Create()));
    } catch (const ckDllLoader::Exception &error) {
        Say(std::string("error: ") + error.what());
    }
}

int Usage() {
    std::fprintf(stderr, "usage: loader_probe [--preload PATH] none|bind|free|retry FAKE\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    dlspy::EchoToStdout();
    if (args.size() >= 2 && args[0] == "--preload") {
        // Held to the end on purpose: the loader must find it and take a reference of its own.
        if (dlopen(args[1].c_str(), RTLD_NOW) == nullptr) {
            std::fprintf(stderr, "preload failed: %s\n", dlerror());
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        return Usage();
    }
    const std::string &mode = args[0];
    if (mode == "none" && args.size() == 1) {
        return 0;
    }
    if (mode == "bind" && args.size() == 1) {
        Bind();
        return 0;
    }
    if (mode == "free" && args.size() == 1) {
        Bind();
        ckDllLoader::FreeDll();
        Say("DllHandle " + std::to_string(ckDllLoader::DllHandle));
        ckDllLoader::FreeDll();
        return 0;
    }
    if (mode == "retry" && args.size() == 2) {
        Bind();
        Bind();
        const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        std::filesystem::copy_file(args[1], folder / "ChilkatDelphi32.dll");
        Say("library put in place");
        Bind();
        return 0;
    }
    return Usage();
}
