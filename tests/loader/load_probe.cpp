// A program that uses the loader the way the tools do and prints the loader calls it made, down
// to the release at program end. The load-step tests run it from prepared folders:
//   load_probe [--no-program-folder-search] [--preload PATH] none | bind | free | retry FAKE
//   --no-program-folder-search  the standard search leaves out the program's own folder from
//                               now on (Windows; Linux's never looks there)
//   --preload  loads PATH first and holds it, as another part of a program might
//   none       no operation at all
//   bind       binds and calls CkSsh_Create
//   free       binds, then FreeDll twice
//   retry      binds while the library is missing, twice; then copies FAKE beside the program
//              and binds again
#include "Ssh.h"
#include "ckDllLoader.h"
#include "loader_host.h"
#include "loader_spy.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace loadertest;

namespace {

void Bind() {
    try {
        WriteLine("CkSsh_Create -> " + std::to_string(Ssh::CkSsh_Create()));
    } catch (const ckDllLoader::Exception &error) {
        WriteLine(std::string("error: ") + error.what());
    }
}

int Usage() {
    std::fprintf(stderr, "usage: load_probe [--no-program-folder-search] [--preload PATH] "
                         "none|bind|free|retry FAKE\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args = ProgramArguments(argc, argv);
    EchoLoaderCallsUntilExit();
    if (!args.empty() && args[0] == "--no-program-folder-search") {
        if (!KeepStandardSearchOutOfProgramFolder()) {
            return 2;
        }
        args.erase(args.begin());
    }
    if (args.size() >= 2 && args[0] == "--preload") {
        // Held to the end on purpose: the loader is to find it already there.
        if (!LoadAndHold(PathFromUtf8(args[1]))) {
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
        WriteLine("DllHandle " + std::to_string(ckDllLoader::DllHandle));
        ckDllLoader::FreeDll();
        return 0;
    }
    if (mode == "retry" && args.size() == 2) {
        Bind();
        Bind();
        std::filesystem::copy_file(PathFromUtf8(args[1]), OwnFolder() / "ChilkatDelphi32.dll");
        WriteLine("library put in place");
        Bind();
        return 0;
    }
    return Usage();
}
