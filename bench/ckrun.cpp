// Drives the library from the command line: one session, then the given steps in order.
// Used by the benchmark and handy against a board by hand.
//   ckrun [-p port] [-u login] [-w password] [-i idle-ms] HOST STEP...
//   STEP: cmd TEXT | put LOCAL REMOTE | get REMOTE LOCAL
// Prints each step's result; the exit status is 0 only if every step succeeded. The time from
// connect to close goes to stderr as "elapsed_ms N".
#define CKAPI_DECLARE_EXPORTS
#include "ckabi.h"
#include "cmdline.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
using cmdline::printable;

int usage() {
    std::fprintf(stderr, "usage: ckrun [-p port] [-u login] [-w password] [-i idle-ms] HOST "
                         "{cmd TEXT | put LOCAL REMOTE | get REMOTE LOCAL}...\n");
    return 2;
}
} // namespace

int main(int argc, char **argv) {
    // Texts that reach the library come from here; argv only for options and step names.
    const std::vector<std::u16string> args = cmdline::arguments(argc, argv);
    if (args.empty())
        return usage();
    int port = 22;
    int idle = 5000;
    std::u16string login = u"root";
    std::u16string password;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        if (!std::strcmp(argv[i], "-p"))
            port = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "-u"))
            login = args[i + 1];
        else if (!std::strcmp(argv[i], "-w"))
            password = args[i + 1];
        else if (!std::strcmp(argv[i], "-i"))
            idle = std::atoi(argv[i + 1]);
        else
            return usage();
    }
    if (i >= argc)
        return usage();
    const auto start = std::chrono::steady_clock::now();
    const ckabi::Handle ssh = CkSsh_Create();
    int rc = 0;
    if (!CkSsh_Connect(ssh, args[i++].c_str(), port)) {
        std::printf("connect failed:\n%s\n", printable(CkSsh__lastErrorText(ssh)).c_str());
        rc = 1;
    } else {
        CkSsh_putIdleTimeoutMs(ssh, idle);
        if (!CkSsh_AuthenticatePw(ssh, login.c_str(), password.c_str())) {
            std::printf("login failed:\n%s\n", printable(CkSsh__lastErrorText(ssh)).c_str());
            rc = 1;
        }
    }
    const ckabi::Handle scp = CkScp_Create();
    if (rc == 0 && !CkScp_UseSsh(scp, ssh)) {
        std::printf("UseSsh failed:\n%s\n", printable(CkScp__lastErrorText(scp)).c_str());
        rc = 1;
    }
    while (rc == 0 && i < argc) {
        const std::string step = argv[i++];
        if (step == "cmd" && i < argc) {
            const std::string out = printable(CkSsh__quickCommand(ssh, args[i++].c_str(), u"ansi"));
            if (!CkSsh_getLastMethodSuccess(ssh)) {
                std::printf("cmd failed:\n%s\n", printable(CkSsh__lastErrorText(ssh)).c_str());
                rc = 1;
            } else {
                std::fwrite(out.data(), 1, out.size(), stdout);
            }
        } else if ((step == "put" || step == "get") && i + 1 < argc) {
            const std::u16string &a = args[i], &b = args[i + 1];
            i += 2;
            const bool ok = step == "put" ? CkScp_UploadFile(scp, a.c_str(), b.c_str())
                                          : CkScp_DownloadFile(scp, a.c_str(), b.c_str());
            if (!ok) {
                std::printf("%s failed:\n%s\n", step.c_str(),
                            printable(CkScp__lastErrorText(scp)).c_str());
                rc = 1;
            }
        } else {
            rc = usage();
        }
    }
    CkSsh_Disconnect(ssh);
    CkSsh_Dispose(ssh);
    CkScp_Dispose(scp);
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    std::fprintf(stderr, "elapsed_ms %.1f\n", ms.count());
    return rc;
}
