// Redirects one function that the running program imports from a system DLL by rewriting the
// program's own import table: calls from code linked into the program (the loader, the shell)
// then reach the replacement, while the DLLs themselves and other modules are left alone.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace wintest {

// Points the program's import of dll!function at replacement and gives the address it held.
// Throws std::runtime_error when the program does not import that function from that DLL
// (dll as the import table names it, "KERNEL32.dll", compared without case).
void *RedirectImport(const char *dll, const char *function, void *replacement);

// The same for one scope: the original is put back on destruction.
class ImportPatch {
public:
    ImportPatch(const char *dll, const char *function, void *replacement);
    ImportPatch(const ImportPatch &) = delete;
    ImportPatch &operator=(const ImportPatch &) = delete;
    ~ImportPatch();

    // The function the import table held before: the real one.
    template <typename Function> Function Original() const {
        return reinterpret_cast<Function>(original_);
    }

private:
    const char *dll_;
    const char *function_;
    void *original_;
};

} // namespace wintest
