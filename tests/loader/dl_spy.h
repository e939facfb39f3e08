// Records every call the code under test makes into the dynamic loader. The test programs are
// linked with --wrap=dlopen,--wrap=dlsym,--wrap=dlclose, so the loader's own calls land here
// and are passed on unchanged.
#pragma once

#include <string>
#include <vector>

namespace dlspy {

// The calls since the last Take, one line each, modules numbered in order of appearance:
//   "dlopen ChilkatDelphi32.dll NOLOAD -> none", "dlopen /x/ChilkatDelphi32.dll -> #1",
//   "dlsym #1 CkSsh_Create -> found", "dlclose #1".
std::vector<std::string> Take();

// Also write each line to stdout as it happens; the release at program end is only visible so.
void EchoToStdout();

// dlsym that leaves no line, for the tests' own look-ups.
void *RealSymbol(void *module, const char *name);

} // namespace dlspy
