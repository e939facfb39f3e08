#include "dynlib.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace dynlib {
namespace {

Module ToModule(void *handle) {
    return reinterpret_cast<Module>(handle);
}
void *ToHandle(Module module) {
    return reinterpret_cast<void *>(module);
}

} // namespace

Module FindLoaded(const std::string &fileName) {
    // Matches the SONAME of loaded objects too, so a library loaded by full path is found by
    // its bare file name. Unlike a module lookup on Windows this takes a reference, which the
    // release at program end gives back.
    return ToModule(dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD));
}

Module LoadByName(const std::string &fileName) {
    return ToModule(dlopen(fileName.c_str(), RTLD_NOW));
}

Module LoadBesideProgram(const std::string &fileName) {
    std::error_code error;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    const auto separator = program.rfind('/');
    if (error || separator == std::string::npos) {
        return 0;
    }
    const std::string path = program.substr(0, separator + 1) + fileName;
    return ToModule(dlopen(path.c_str(), RTLD_NOW));
}

void *Symbol(Module module, const std::string &name) {
    return dlsym(ToHandle(module), name.c_str());
}

void Release(Module module) {
    dlclose(ToHandle(module));
}

} // namespace dynlib
