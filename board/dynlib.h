// The platform's dynamic loader, reduced to the steps ckDllLoader takes. Names are UTF-8;
// a module is the platform's handle as an integer, 0 when there is none.
#pragma once

#include <cstdint>
#include <string>

namespace dynlib {

using Module = std::uintptr_t;

// A module of that file name already loaded in the process, without loading it again.
Module FindLoaded(const std::string &fileName);

// Loads the file name through the platform's standard search order.
Module LoadByName(const std::string &fileName);

// Loads fileName from the folder of the program's own file; the module's own dependencies are
// searched from that folder first.
Module LoadBesideProgram(const std::string &fileName);

// The address of the named export, nullptr when the module has none.
void *Symbol(Module module, const std::string &name);

void Release(Module module);

} // namespace dynlib
