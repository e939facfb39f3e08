// Owns ChilkatDelphi32.dll for the whole run: loads it at the first entry point that is bound,
// looks entry points up by name, and releases it at program end.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ckDllLoader {

// The platform's module handle, as an integer: 0 while the library is not loaded.
using ModuleHandle = std::uintptr_t;

// The general exception: it carries only its message.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

extern ModuleHandle DllHandle;
extern std::string DllName; // UTF-8

ModuleHandle LoadDll();
// Raises Exception "Library not found: <DllName>" or "Function not found: <DllName>.<EntryName>".
void *GetDllEntry(const std::string &EntryName);
void FreeDll();

} // namespace ckDllLoader
