#include "loader_host.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

namespace loadertest {
namespace {

class Pipe {
public:
    explicit Pipe(const std::string &command) : file_(popen(command.c_str(), "r")) {
        if (file_ == nullptr) {
            throw std::system_error(errno, std::generic_category(), "popen " + command);
        }
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;
    ~Pipe() {
        if (file_ != nullptr) {
            pclose(file_);
        }
    }
    std::string ReadAll() {
        std::string text;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, file_) != nullptr) {
            text += buffer;
        }
        return text;
    }
    int Close() { return pclose(std::exchange(file_, nullptr)); }

private:
    FILE *file_;
};

std::string Quote(const std::string &text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

std::filesystem::path OwnFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

std::vector<std::string> ProgramArguments(int argc, char **argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool StandardSearchCoversProgramFolder() {
    return false;
}

bool KeepStandardSearchOutOfProgramFolder() {
    return true;
}

bool LoadAndHold(const std::filesystem::path &path) {
    if (dlopen(path.c_str(), RTLD_NOW) == nullptr) {
        std::fprintf(stderr, "loading %s failed: %s\n", path.c_str(), dlerror());
        return false;
    }
    return true;
}

Finished RunProgram(const std::filesystem::path &program, const std::vector<std::string> &args,
                    const std::filesystem::path &libraryFolder) {
    std::string command = "env -u LD_LIBRARY_PATH ";
    if (!libraryFolder.empty()) {
        command += "LD_LIBRARY_PATH=" + Quote(libraryFolder.string()) + " ";
    }
    command += Quote(program.string());
    for (const std::string &arg : args) {
        command += " " + Quote(arg);
    }
    Pipe pipe(command);
    Finished finished{pipe.ReadAll(), 0};
    const int status = pipe.Close();
    finished.exitCode = static_cast<unsigned long>(WIFEXITED(status) ? WEXITSTATUS(status)
                                                                     : 128 + WTERMSIG(status));
    return finished;
}

} // namespace loadertest
