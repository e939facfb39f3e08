#include "ImportPatch.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace wintest {
namespace {

void **FindImportSlot(const char *dll, const char *function) {
    auto *const base = reinterpret_cast<BYTE *>(GetModuleHandleW(nullptr));
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto *module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        if (_stricmp(reinterpret_cast<const char *>(base + module->Name), dll) != 0) {
            continue;
        }
        // Names from the lookup table, addresses from the bound table, entry by entry.
        const auto *names = reinterpret_cast<const IMAGE_THUNK_DATA *>(
            base +
            (module->OriginalFirstThunk != 0 ? module->OriginalFirstThunk : module->FirstThunk));
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto *byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char *>(byName->Name), function) == 0) {
                return reinterpret_cast<void **>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

} // namespace

void *RedirectImport(const char *dll, const char *function, void *replacement) {
    void **const slot = FindImportSlot(dll, function);
    if (slot == nullptr) {
        throw std::runtime_error(std::string("the program does not import ") + dll + "!" +
                                 function);
    }
    void *const original = *slot;
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) {
        throw std::runtime_error(std::string("cannot write the import of ") + function);
    }
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return original;
}

ImportPatch::ImportPatch(const char *dll, const char *function, void *replacement)
    : dll_(dll), function_(function), original_(RedirectImport(dll, function, replacement)) {}

ImportPatch::~ImportPatch() {
    RedirectImport(dll_, function_, original_);
}

} // namespace wintest
