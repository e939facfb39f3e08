#include "ckDllLoader.h"

#include "dynlib.h"

namespace ckDllLoader {

ModuleHandle DllHandle = 0;
std::string DllName;

namespace {

constexpr const char *LibraryFileName = "ChilkatDelphi32.dll";

// Gives the library back when the program ends. Defined after DllName, so it is destroyed
// before it and may still clear it.
struct ReleaseAtProgramEnd {
    ReleaseAtProgramEnd() = default;
    ReleaseAtProgramEnd(const ReleaseAtProgramEnd &) = delete;
    ReleaseAtProgramEnd &operator=(const ReleaseAtProgramEnd &) = delete;
    ~ReleaseAtProgramEnd() {
        if (DllHandle != 0) {
            FreeDll();
        }
        DllName.clear();
    }
};

ReleaseAtProgramEnd releaseAtProgramEnd;

} // namespace

ModuleHandle LoadDll() {
    if (DllHandle != 0) {
        return DllHandle;
    }
    DllName = LibraryFileName;
    DllHandle = dynlib::FindLoaded(DllName);
    if (DllHandle != 0) {
        return DllHandle;
    }
    DllHandle = dynlib::LoadByName(DllName);
    if (DllHandle != 0) {
        return DllHandle;
    }
    // Last resort: the library shipped beside the program, even when the program's folder is
    // not part of the platform's search order.
    DllHandle = dynlib::LoadBesideProgram(DllName);
    return DllHandle;
}

void *GetDllEntry(const std::string &EntryName) {
    LoadDll();
    if (DllHandle == 0) {
        throw Exception("Library not found: " + DllName);
    }
    void *entry = dynlib::Symbol(DllHandle, EntryName);
    if (entry == nullptr) {
        throw Exception("Function not found: " + DllName + "." + EntryName);
    }
    return entry;
}

void FreeDll() {
    if (DllHandle != 0) {
        dynlib::Release(DllHandle);
        DllHandle = 0;
    }
}

} // namespace ckDllLoader
