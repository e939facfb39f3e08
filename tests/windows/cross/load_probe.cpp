// A program that uses the loader the way the tools do and prints the loader calls it made,
// down to the release at program end. The load-step tests run it from prepared folders:
//   load_probe [--system32-only] [--preload PATH] none | bind | free | retry FAKE
//   --system32-only  the standard search looks in the system folder only, not in the
//                    program's own folder (SetDefaultDllDirectories), as hardened hosts do
//   --preload        loads PATH first, as another part of a program might
//   none             no operation at all
//   bind             binds and calls CkSsh_Create
//   free             binds, then FreeDll twice
//   retry            binds while the library is missing, twice; then copies FAKE beside the
//                    program and binds again
#include "LoaderSpy.h"
#include "Process.h"
#include "Ssh.h"
#include "ckDllLoader.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Say(const std::string &line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

void Bind() {
    try {
        Say("CkSsh_Create -> " + std::to_string(Ssh::CkSsh_Create()));
    } catch (const ckDllLoader::Exception &error) {
        Say(std::string("error: ") + error.what());
    }
}

int Usage() {
    std::fprintf(stderr, "usage: load_probe [--system32-only] [--preload PATH] "
                         "none|bind|free|retry FAKE\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    wintest::EchoLoaderCallsUntilExit();
    if (!args.empty() && args[0] == L"--system32-only") {
        if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            std::fprintf(stderr, "SetDefaultDllDirectories failed: %lu\n", GetLastError());
            return 2;
        }
        args.erase(args.begin());
    }
    if (args.size() >= 2 && args[0] == L"--preload") {
        // Held to the end on purpose: the loader is to find it already there.
        if (LoadLibraryW(args[1].c_str()) == nullptr) {
            std::fprintf(stderr, "preload failed: %lu\n", GetLastError());
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        return Usage();
    }
    const std::wstring &mode = args[0];
    if (mode == L"none" && args.size() == 1) {
        return 0;
    }
    if (mode == L"bind" && args.size() == 1) {
        Bind();
        return 0;
    }
    if (mode == L"free" && args.size() == 1) {
        Bind();
        ckDllLoader::FreeDll();
        Say("DllHandle " + std::to_string(ckDllLoader::DllHandle));
        ckDllLoader::FreeDll();
        return 0;
    }
    if (mode == L"retry" && args.size() == 2) {
        Bind();
        Bind();
        std::filesystem::copy_file(args[1], wintest::OwnFolder() / L"ChilkatDelphi32.dll");
        Say("library put in place");
        Bind();
        return 0;
    }
    return Usage();
}
