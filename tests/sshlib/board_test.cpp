// The library against the emulated board: every entry point through its exported form, as
// the programs reach it. Runs inside the board's namespaces (BOARD_* environment).
#define CKAPI_DECLARE_EXPORTS
#include "ckabi.h"
#include "session.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <random>
#include <stop_token>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A process slowed down, as on a busy PC or under Wine: while switched on, a recv that asks a
// socket again which it found empty, with nothing sent in between, first waits a little. What
// the board sends meanwhile is then taken off the socket by whichever libssh2 call reads next.
// This process's recv and send come before the C library's for the library under test.
static std::atomic<bool> slowRecv = false;
static thread_local bool foundNothing = false;
extern "C" ssize_t recv(int fd, void *buffer, size_t length, int flags) {
    using Recv = ssize_t (*)(int, void *, size_t, int);
    static const auto real = reinterpret_cast<Recv>(dlsym(RTLD_NEXT, "recv"));
    if (slowRecv && foundNothing)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const ssize_t n = real(fd, buffer, length, flags);
    foundNothing = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    return n;
}
extern "C" ssize_t send(int fd, const void *buffer, size_t length, int flags) {
    using Send = ssize_t (*)(int, const void *, size_t, int);
    static const auto real = reinterpret_cast<Send>(dlsym(RTLD_NEXT, "send"));
    foundNothing = false;
    return real(fd, buffer, length, flags);
}

namespace {

std::string env(const char *name) {
    const char *v = std::getenv(name);
    return v ? v : "";
}

std::u16string u16(const std::string &s) {
    return fs::path(s).u16string(); // UTF-8 to UTF-16
}

std::string utf8(const char16_t *t) {
    return t ? fs::path(std::u16string(t)).string() : std::string();
}

void boardCtl(const std::string &what) {
    const std::string cmd = env("BOARD_CTL") + " " + what;
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

std::string slurp(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeRandom(const fs::path &p, std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string data(size, '\0');
    for (auto &c : data)
        c = static_cast<char>(rng());
    std::ofstream(p, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
}

// Table rows print as their names in failure messages.
template <class Row> auto PrintTo(const Row &row, std::ostream *os) -> decltype(row.name, void()) {
    *os << row.name;
}

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// User and system CPU time of this process so far: what tells a spin from a wait.
double cpuSeconds() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    const auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(use.ru_utime) + seconds(use.ru_stime);
}

// Shuts this process's end of its connections to a port when the time is up, unless it is
// destroyed first: a library call that spins past its bound then fails the test with figures
// instead of hanging it. The sockets stay open, so the library can still close them itself.
class ConnectionCutter {
public:
    ConnectionCutter(int port, std::chrono::milliseconds after)
        : thread_([this, port, after](std::stop_token stop) {
              std::mutex m;
              std::condition_variable_any wake;
              std::unique_lock lock(m);
              wake.wait_for(lock, stop, after, [] { return false; });
              if (!stop.stop_requested())
                  fired_ = cut(port);
          }) {}
    bool fired() const { return fired_; }

private:
    static bool cut(int port) {
        bool any = false;
        for (const auto &e : fs::directory_iterator("/proc/self/fd")) {
            const int fd = std::atoi(e.path().filename().c_str());
            sockaddr_in peer{};
            socklen_t len = sizeof peer;
            if (::getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &len) == 0 &&
                peer.sin_family == AF_INET && ntohs(peer.sin_port) == port)
                any = ::shutdown(fd, SHUT_RDWR) == 0 || any;
        }
        return any;
    }

    std::atomic<bool> fired_ = false;
    std::jthread thread_; // last: it uses the members above
};

// One session, closed and released however the test ends.
struct Session {
    ckabi::Handle h = CkSsh_Create();
    ~Session() {
        CkSsh_Disconnect(h);
        CkSsh_Dispose(h);
    }
    bool open(const std::string &host = env("BOARD_HOST"), const char16_t *login = u"root",
              const char16_t *password = u"", int idleMs = 5000, int port = 22) {
        if (!CkSsh_Connect(h, u16(host).c_str(), port))
            return false;
        CkSsh_putIdleTimeoutMs(h, idleMs);
        return CkSsh_AuthenticatePw(h, login, password) != 0;
    }
    std::string run(const std::string &command) {
        return utf8(CkSsh__quickCommand(h, u16(command).c_str(), u"ansi"));
    }
    bool ok() { return CkSsh_getLastMethodSuccess(h) != 0; }
    std::string error() { return utf8(CkSsh__lastErrorText(h)); }
};

struct Transfer {
    ckabi::Handle h = CkScp_Create();
    ~Transfer() { CkScp_Dispose(h); }
    bool put(const fs::path &local, const std::string &remote) {
        return CkScp_UploadFile(h, local.u16string().c_str(), u16(remote).c_str()) != 0;
    }
    bool get(const std::string &remote, const fs::path &local) {
        return CkScp_DownloadFile(h, u16(remote).c_str(), local.u16string().c_str()) != 0;
    }
    std::string error() { return utf8(CkScp__lastErrorText(h)); }
};

class Board : public testing::Test {
protected:
    void SetUp() override {
        root = env("BOARD_ROOT");
        if (root.empty())
            GTEST_FAIL() << "run this test through emuboard.sh";
        local = fs::temp_directory_path() / ("ck-board-test-" + std::to_string(::getpid()));
        fs::create_directories(local);
    }
    void TearDown() override { fs::remove_all(local); }

    // A session with a transfer object attached, as the programs use them.
    void openWithTransfer(Session &s, Transfer &t) {
        ASSERT_TRUE(s.open()) << s.error();
        ASSERT_TRUE(CkScp_UseSsh(t.h, s.h)) << t.error();
    }

    fs::path root;
    fs::path local;
};

struct ConnectCase {
    const char *name;
    std::string host;
    int port;
    const char *expect; // a piece of the error text
    friend void PrintTo(const ConnectCase &row, std::ostream *os) { *os << row.name; }
};

class ConnectFailure : public Board, public testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectFailure, GivesFalseWithAReadableTextInTime) {
    const auto &c = GetParam();
    Session s;
    const auto start = Clock::now();
    EXPECT_FALSE(CkSsh_Connect(s.h, u16(c.host).c_str(), c.port));
    EXPECT_LT(secondsSince(start), 11.0);
    const std::string text = s.error();
    EXPECT_NE(text.find(c.expect), std::string::npos) << text;
    EXPECT_FALSE(CkSsh_AuthenticatePw(s.h, u"root", u"")) << "login on an unconnected session";
}

INSTANTIATE_TEST_SUITE_P(
    Board, ConnectFailure,
    testing::Values(ConnectCase{"refused", "127.0.0.1", 23, "refused"},
                    ConnectCase{"unresolvable", "no-such-board.invalid", 22, "resolved"},
                    ConnectCase{"empty", "", 22, "empty"},
                    ConnectCase{"blanks_kept", " 127.0.0.1 ", 22, "\" 127.0.0.1 \""},
                    ConnectCase{"host_and_port", "127.0.0.1:22", 22, "resolved"},
                    ConnectCase{"not_ssh", "127.0.0.1", 9, "refused"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Board, ConnectsByEveryAddressForm) {
    for (const std::string host : {"127.0.0.1", "192.168.168.201", "::1", "localhost"}) {
        Session s;
        EXPECT_TRUE(s.open(host)) << host << ": " << s.error();
        EXPECT_EQ(s.run("echo hi"), "hi\n") << host;
    }
}

struct LoginCase {
    const char *name;
    const char16_t *login;
    const char16_t *password;
    bool ok;
    friend void PrintTo(const LoginCase &row, std::ostream *os) { *os << row.name; }
};

class Login : public Board, public testing::WithParamInterface<LoginCase> {};

TEST_P(Login, AcceptsOnlyTheRightPassword) {
    const auto &c = GetParam();
    Session s;
    ASSERT_TRUE(CkSsh_Connect(s.h, u16(env("BOARD_HOST")).c_str(), 22)) << s.error();
    EXPECT_EQ(CkSsh_AuthenticatePw(s.h, c.login, c.password) != 0, c.ok) << s.error();
    if (!c.ok) {
        EXPECT_NE(s.error().find("refused"), std::string::npos) << s.error();
        s.run("true");
        EXPECT_FALSE(s.ok()) << "a command ran without a login";
    }
}

INSTANTIATE_TEST_SUITE_P(Board, Login,
                         testing::Values(LoginCase{"root_empty", u"root", u"", true},
                                         LoginCase{"password_method", u"tech", u"secret", true},
                                         LoginCase{"wrong_password", u"tech", u"wrong", false},
                                         LoginCase{"unknown_user", u"nobody", u"", false}),
                         [](const auto &info) { return std::string(info.param.name); });

// Servers that dropbear cannot play: fakesshd.py on the ports the test command gives.
constexpr int KbdIntPort = 2201;
constexpr int OldAlgsPort = 2202;
constexpr int ScpReplyPort = 2203;
constexpr int NoExitPort = 2204;
constexpr int OpenSshPort = 2205;  // current OpenSSH, RSA host key only, default algorithms
constexpr int KexStallPort = 2206; // starts a key exchange in an upload, then falls silent

TEST_F(Board, KeyboardInteractiveOnlyServerLetsRootIn) {
    Session s;
    ASSERT_TRUE(s.open(env("BOARD_HOST"), u"root", u"", 5000, KbdIntPort)) << s.error();
    EXPECT_EQ(s.run("echo kbd"), "kbd\n");
    Session wrong;
    EXPECT_FALSE(wrong.open(env("BOARD_HOST"), u"tech", u"wrong", 5000, KbdIntPort));
    EXPECT_NE(wrong.error().find("keyboard-interactive"), std::string::npos) << wrong.error();
}

struct ServerCase {
    const char *name;
    int port;
    friend void PrintTo(const ServerCase &row, std::ostream *os) { *os << row.name; }
};

class Servers : public Board, public testing::WithParamInterface<ServerCase> {};

// Boards in the field run old servers and current ones; both are reached with no setup.
TEST_P(Servers, CommandUploadAndDownloadWithNoSetup) {
    const auto &c = GetParam();
    Session s;
    Transfer t;
    ASSERT_TRUE(s.open(env("BOARD_HOST"), u"root", u"", 5000, c.port)) << s.error();
    EXPECT_EQ(s.run("echo reached"), "reached\n");
    ASSERT_TRUE(CkScp_UseSsh(t.h, s.h)) << t.error();
    writeRandom(local / "up.bin", 300000, 3);
    ASSERT_TRUE(t.put(local / "up.bin", "/tmp/up.bin")) << t.error();
    EXPECT_EQ(slurp(root / "tmp/up.bin"), slurp(local / "up.bin"));
    ASSERT_TRUE(t.get("/tmp/up.bin", local / "back.bin")) << t.error();
    EXPECT_EQ(slurp(local / "back.bin"), slurp(local / "up.bin"));
}

INSTANTIATE_TEST_SUITE_P(Board, Servers,
                         // Only ssh-rsa, group14/group1-sha1, aes-cbc and hmac-sha1.
                         testing::Values(ServerCase{"old_algorithms_only", OldAlgsPort},
                                         // Current OpenSSH refuses SHA-1 signatures, so its only
                                         // host key, an RSA one, is reached through rsa-sha2 alone.
                                         ServerCase{"current_openssh_rsa_key_only", OpenSshPort}),
                         [](const auto &info) { return std::string(info.param.name); });

// How often OpenSSH's log on the board says a session agreed to strict key exchange.
int strictKexSessions() {
    const std::string log =
        slurp(env("BOARD_ROOT") + "/var/log/openssh-" + std::to_string(OpenSshPort) + ".log");
    int count = 0;
    for (std::size_t at = 0; (at = log.find("will use strict KEX ordering", at)) != log.npos; ++at)
        ++count;
    return count;
}

struct MethodsCase {
    const char *name;
    int port;
    const char *hostKey;
    friend void PrintTo(const MethodsCase &row, std::ostream *os) { *os << row.name; }
};

class Methods : public Board, public testing::WithParamInterface<MethodsCase> {};

// Boards without AES instructions are fastest with chacha20-poly1305, and both servers offer it.
TEST_P(Methods, ChaCha20WithEveryCurrentServer) {
    const auto &c = GetParam();
    const int strictBefore = strictKexSessions();
    sshlib::Session s;
    ASSERT_TRUE(s.connect(u16(env("BOARD_HOST")), c.port)) << s.error().text();
    const std::string methods = sshlib::negotiatedMethods(s);
    EXPECT_NE(methods.find("cipher=chacha20-poly1305@openssh.com"), methods.npos) << methods;
    EXPECT_NE(methods.find(std::string("hostkey=") + c.hostKey), methods.npos) << methods;
    if (c.port == OpenSshPort) {
        EXPECT_EQ(strictKexSessions(), strictBefore + 1)
            << "the board's log shows no strict key exchange for this session";
    }
}

INSTANTIATE_TEST_SUITE_P(Board, Methods,
                         testing::Values(MethodsCase{"dropbear", 22, "ssh-ed25519"},
                                         MethodsCase{"openssh_rsa_only", OpenSshPort,
                                                     "rsa-sha2-512"}),
                         [](const auto &info) { return std::string(info.param.name); });

// A channel closed without an exit status looks like status 0 to libssh2; it is not a command
// that ran to its end. The same command on a board that reports its status is.
TEST_F(Board, CommandClosedWithoutExitStatusFails) {
    Session faulty;
    ASSERT_TRUE(faulty.open(env("BOARD_HOST"), u"root", u"", 5000, NoExitPort)) << faulty.error();
    faulty.run("echo hi");
    EXPECT_FALSE(faulty.ok()) << "reported as success";
    EXPECT_NE(faulty.error().find("no exit status"), std::string::npos) << faulty.error();
    Session sound;
    ASSERT_TRUE(sound.open()) << sound.error();
    EXPECT_EQ(sound.run("echo hi; exit 0"), "hi\n");
    EXPECT_TRUE(sound.ok()) << sound.error();
    sound.run("kill -9 $$");
    EXPECT_TRUE(sound.ok()) << "a command ended by a signal was reported by the board: "
                            << sound.error();
}

struct HostileCase {
    const char *name;
    const char *script; // what the board answers to "scp -f"
    const char *expect;
    friend void PrintTo(const HostileCase &row, std::ostream *os) { *os << row.name; }
};

class HostileDownload : public Board, public testing::WithParamInterface<HostileCase> {};

// Whatever the board announces, only the chosen PC file is written, and only when whole.
TEST_P(HostileDownload, WritesNothingButTheChosenFile) {
    const auto &c = GetParam();
    std::ofstream(fs::path(env("BOARD_WORK")) /
                  ("fake-" + std::to_string(ScpReplyPort) + ".script"))
        << c.script;
    const fs::path dest = local / "sub" / "rtspserver.dat";
    fs::create_directories(dest.parent_path());
    std::ofstream(dest) << "old";
    Session s;
    Transfer t;
    ASSERT_TRUE(s.open(env("BOARD_HOST"), u"root", u"", 3000, ScpReplyPort)) << s.error();
    ASSERT_TRUE(CkScp_UseSsh(t.h, s.h)) << t.error();
    EXPECT_FALSE(t.get("/app/rtspserver.dat", dest));
    EXPECT_NE(t.error().find(c.expect), std::string::npos) << t.error();
    EXPECT_EQ(slurp(dest), "old");
    std::size_t entries = 0;
    for (const auto &e : fs::recursive_directory_iterator(local)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2u) << "something besides the old file appeared";
}

INSTANTIATE_TEST_SUITE_P(
    Board, HostileDownload,
    testing::Values(
        HostileCase{"name_escapes", "read 1\nsend C0644 3 ../../evil\\n\nsend abc\\0\nexit 0\n",
                    "not an SCP file record"},
        HostileCase{"directory", "read 1\nsend D0755 0 dir\\n\nexit 0\n", "folder"},
        HostileCase{"shorter_than_announced",
                    "read 1\nsend C0644 100000 rtspserver.dat\\n\nread 1\ndata 5000\nexit 0\n",
                    "after 5000 of 100000 bytes"},
        HostileCase{"no_exit_status_after_refusal", "read 1\nsend \\1scp: boom\\n\nclose\n",
                    "scp: boom"},
        HostileCase{"garbage", "read 1\nsend hello\\n\nexit 0\n", "not an SCP file record"},
        HostileCase{"endless_line", "read 1\nsend C\ndata 100000\nexit 0\n", "longer than"},
        HostileCase{"failure_after_data",
                    "read 1\nsend C0644 3 x\\n\nread 1\nsend abc\nsend \\2scp: read error\\n\n"
                    "exit 1\n",
                    "scp: read error"},
        HostileCase{"whole_file_but_no_exit_status",
                    "read 1\nsend C0644 3 x\\n\nread 1\nsend abc\\0\nread 1\nclose\n",
                    "no exit status"},
        HostileCase{"exit_status_nonzero",
                    "read 1\nsend C0644 3 x\\n\nread 1\nsend abc\\0\nread 1\nexit 1\n",
                    "exit status 1"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Board, CommandOutputMergesStderrAndExitStatusDoesNotMatter) {
    Session s;
    ASSERT_TRUE(s.open()) << s.error();
    EXPECT_EQ(s.run("echo out; sleep 0.2; echo err >&2; exit 3"), "out\nerr\n");
    EXPECT_TRUE(s.ok()) << "a non-zero exit status is still a command that ran to its end";
    s.run("mkdir /tmp");
    EXPECT_TRUE(s.ok()) << "mkdir of an existing folder must count as a run to its end";
    EXPECT_EQ(s.run("printf 'a\\000b\\377c'"), "a\xEF\xBF\xBD"
                                               "b\xEF\xBF\xBD"
                                               "c");
}

TEST_F(Board, SilentCommandOutlivesTheIdleTimeout) {
    Session s;
    ASSERT_TRUE(s.open()) << s.error();
    const auto start = Clock::now();
    EXPECT_EQ(s.run("sleep 20; echo done"), "done\n");
    EXPECT_TRUE(s.ok()) << s.error();
    EXPECT_GE(secondsSince(start), 19.0);
}

TEST_F(Board, StoppedBoardFailsWithinTheIdleTimeoutPlusTwoSeconds) {
    Session s;
    ASSERT_TRUE(s.open(env("BOARD_HOST"), u"root", u"", 3000)) << s.error();
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        boardCtl("stop");
    });
    const auto start = Clock::now();
    s.run("sleep 30; echo never");
    const double took = secondsSince(start);
    stopper.join();
    boardCtl("cont");
    EXPECT_FALSE(s.ok());
    EXPECT_LE(took, 0.5 + 3.0 + 2.0);
    EXPECT_NE(s.error().find("stopped answering"), std::string::npos) << s.error();
}

// A board renews its keys now and then during long uploads, and may die right then. While the
// key exchange waits for the board, libssh2 answers every write with "try again" though the
// window is open: the upload must still fail within the idle time-out, waiting on the socket
// rather than retrying on the CPU.
TEST_F(Board, BoardDyingInAKeyExchangeFailsTheUploadInTimeWithoutSpinning) {
    constexpr int IdleMs = 2000;
    constexpr double BoundSeconds = IdleMs / 1000.0 + 3.0;
    constexpr auto CutAfter = std::chrono::seconds(10);
    const fs::path fakeLog =
        fs::path(env("BOARD_WORK")) / ("fake-" + std::to_string(KexStallPort) + ".log");
    const std::size_t logBefore = slurp(fakeLog).size();
    writeRandom(local / "up.bin", 4u << 20, 11);
    Session s;
    Transfer t;
    ASSERT_TRUE(s.open(env("BOARD_HOST"), u"root", u"", IdleMs, KexStallPort)) << s.error();
    ASSERT_TRUE(CkScp_UseSsh(t.h, s.h)) << t.error();
    bool ok = true;
    bool cut = false;
    double wall = 0;
    double cpu = 0;
    {
        ConnectionCutter cutter(KexStallPort, CutAfter);
        const double cpuStart = cpuSeconds();
        const auto start = Clock::now();
        ok = t.put(local / "up.bin", "/tmp/up.bin");
        wall = secondsSince(start);
        cpu = cpuSeconds() - cpuStart;
        cut = cutter.fired();
    }
    ASSERT_NE(slurp(fakeLog).find("key exchange started", logBefore), std::string::npos)
        << "the board never started its key exchange";
    EXPECT_FALSE(ok) << "the upload went through a board that fell silent";
    EXPECT_FALSE(cut) << "the upload was still running after " << CutAfter.count()
                      << " s; the test cut its connection";
    EXPECT_LT(wall, BoundSeconds) << "the idle time-out is " << IdleMs << " ms";
    EXPECT_LT(cpu, 0.25 * wall) << cpu << " s of CPU in " << wall << " s: a spin, not a wait";
    EXPECT_NE(t.error().find("stopped answering"), std::string::npos) << t.error();
}

TEST_F(Board, UploadAndDownloadAreByteExact) {
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{5'000'003}}) {
        const fs::path up = local / "up.bin";
        writeRandom(up, size, static_cast<unsigned>(size));
        ASSERT_TRUE(t.put(up, "/tmp/up.bin")) << t.error();
        EXPECT_EQ(slurp(root / "tmp/up.bin"), slurp(up)) << size << " bytes";
        EXPECT_EQ(fs::status(root / "tmp/up.bin").permissions() & fs::perms::all, fs::perms(0644));
        const fs::path down = local / "down.bin";
        ASSERT_TRUE(t.get("/tmp/up.bin", down)) << t.error();
        EXPECT_EQ(slurp(down), slurp(up)) << size << " bytes";
    }
    const fs::path named = local / "caf\xC3\xA9 file.dat";
    writeRandom(named, 1000, 7);
    ASSERT_TRUE(t.put(named, "/tmp/it's here.dat")) << t.error();
    EXPECT_EQ(slurp(root / "tmp/it's here.dat"), slurp(named));
}

TEST_F(Board, UploadOver4GiB) {
    if (!env("TAVRIN_SANITIZED").empty())
        GTEST_SKIP() << "4 GiB through the sanitizers takes minutes; the normal build covers it";
    struct statvfs vfs {};
    const std::uint64_t size = (4ull << 30) + 4097;
    ASSERT_EQ(::statvfs(root.c_str(), &vfs), 0);
    if (static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize < size + (2ull << 30))
        GTEST_SKIP() << "not enough disk for the board's copy";
    const fs::path big = local / "big.bin";
    {
        std::ofstream out(big, std::ios::binary);
        out << "head";
        out.seekp(static_cast<std::streamoff>(size - 4));
        out << "tail";
    }
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    ASSERT_TRUE(t.put(big, "/tmp/big.bin")) << t.error();
    const fs::path onBoard = root / "tmp/big.bin";
    EXPECT_EQ(fs::file_size(onBoard), size);
    std::ifstream a(big, std::ios::binary), b(onBoard, std::ios::binary);
    std::string ba(1 << 20, '\0'), bb(1 << 20, '\0');
    bool same = true;
    while (same && a) {
        a.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        b.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        same = a.gcount() == b.gcount() && ba.compare(0, a.gcount(), bb, 0, b.gcount()) == 0;
    }
    EXPECT_TRUE(same) << "the board's copy differs";
    fs::remove(onBoard);
}

struct TransferFailureCase {
    const char *name;
    bool upload;
    const char *pcFile; // relative to the test's folder
    const char *boardPath;
    const char *expect;
    friend void PrintTo(const TransferFailureCase &row, std::ostream *os) { *os << row.name; }
};

class TransferFailure : public Board, public testing::WithParamInterface<TransferFailureCase> {};

TEST_P(TransferFailure, GivesFalseWithTheCauseAndTheSessionGoesOn) {
    const auto &c = GetParam();
    fs::create_directories(local / "folder");
    writeRandom(local / "four-mib.bin", 4u << 20, 1);
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    const fs::path pc = local / c.pcFile;
    const bool ok = c.upload ? t.put(pc, c.boardPath) : t.get(c.boardPath, pc);
    EXPECT_FALSE(ok);
    EXPECT_NE(t.error().find(c.expect), std::string::npos) << t.error();
    EXPECT_EQ(s.run("echo alive"), "alive\n")
        << "the session is unusable after the failure: " << s.error();
    if (!c.upload) {
        EXPECT_FALSE(fs::exists(pc)) << "a failed download left a file behind";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Board, TransferFailure,
    testing::Values(
        TransferFailureCase{"missing_board_file", false, "x.dat", "/app/nothing.dat",
                            "scp: /app/nothing.dat: No such file or directory"},
        TransferFailureCase{"board_folder", false, "x.dat", "/app", "not a regular file"},
        TransferFailureCase{"board_disk_fills", true, "four-mib.bin", "/mnt/small/x.bin",
                            "No space left on device"},
        TransferFailureCase{"no_board_folder", true, "four-mib.bin", "/nonexistent/x.bin",
                            "No such file or directory"},
        TransferFailureCase{"missing_pc_file", true, "absent.bin", "/tmp/x.bin",
                            "No such file or directory"},
        TransferFailureCase{"pc_folder_not_file", true, "folder", "/tmp/x.bin", "folder"},
        TransferFailureCase{"missing_pc_folder", false, "absent/x.dat", "/app/rtspserver.dat",
                            "creating a temporary file"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Board, UnwritablePcFolderFailsAndLeavesNothing) {
    const fs::path ro = local / "ro";
    fs::create_directories(ro);
    ASSERT_EQ(::mount("ro", ro.c_str(), "tmpfs", MS_RDONLY, "size=64k"), 0);
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    EXPECT_FALSE(t.get("/app/rtspserver.dat", ro / "rtspserver.dat"));
    EXPECT_NE(t.error().find("Read-only file system"), std::string::npos) << t.error();
    ::umount(ro.c_str());
}

TEST_F(Board, BoardWithoutScpGivesACleanError) {
    const fs::path scp = root / "usr/bin/scp";
    fs::rename(scp, root / "usr/bin/scp.away");
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    writeRandom(local / "f.bin", 100, 2);
    EXPECT_FALSE(t.put(local / "f.bin", "/tmp/f.bin"));
    const std::string upErr = t.error();
    EXPECT_FALSE(t.get("/app/rtspserver.dat", local / "g.bin"));
    const std::string downErr = t.error();
    fs::rename(root / "usr/bin/scp.away", scp);
    EXPECT_NE(upErr.find("scp: not found"), std::string::npos) << upErr;
    EXPECT_NE(downErr.find("scp: not found"), std::string::npos) << downErr;
    EXPECT_EQ(s.run("echo alive"), "alive\n");
}

// A reply that arrives while the library reads the other stream (stderr) is taken off the
// socket before the library would wait for it: the transfer must go on at once, not wait on a
// quiet socket until the next keepalive. At the board's 24 KiB window every window of an
// upload depends on such a reply.
TEST_F(Board, TransfersGoOnWhenRepliesArriveBetweenReads) {
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    const fs::path up = local / "slow.bin";
    writeRandom(up, 1 << 20, 5);
    slowRecv = true;
    auto start = Clock::now();
    const bool put = t.put(up, "/tmp/slow.bin");
    const double upSeconds = secondsSince(start);
    start = Clock::now();
    const bool got = put && t.get("/tmp/slow.bin", local / "back.bin");
    const double downSeconds = secondsSince(start);
    slowRecv = false;
    ASSERT_TRUE(put) << t.error();
    ASSERT_TRUE(got) << t.error();
    EXPECT_EQ(slurp(local / "back.bin"), slurp(up));
    // Without stalls both take well under a second; each stall costs one to two seconds.
    EXPECT_LT(upSeconds, 5.0) << "upload of 1 MiB (about 43 windows)";
    EXPECT_LT(downSeconds, 1.0) << "download of 1 MiB";
}

TEST_F(Board, DownloadFailingMidwayKeepsTheOldPcFile) {
    // A large sparse board file, and a board that stops answering during the transfer.
    {
        std::ofstream big(root / "tmp/huge.bin", std::ios::binary);
        big.seekp((2ll << 30) - 1);
        big << 'x';
    }
    const fs::path dest = local / "rtspserver.dat";
    std::ofstream(dest) << "the technician's saved configuration";
    Session s;
    Transfer t;
    openWithTransfer(s, t);
    CkSsh_putIdleTimeoutMs(s.h, 2000);
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        boardCtl("stop");
    });
    const bool ok = t.get("/tmp/huge.bin", dest);
    stopper.join();
    boardCtl("cont");
    fs::remove(root / "tmp/huge.bin");
    EXPECT_FALSE(ok) << "the download finished before the board stopped";
    EXPECT_EQ(slurp(dest), "the technician's saved configuration");
    EXPECT_EQ(std::distance(fs::directory_iterator(local), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

TEST_F(Board, InvalidHandlesAreHarmless) {
    Session disposed;
    const ckabi::Handle gone = CkSsh_Create();
    CkSsh_Dispose(gone);
    const ckabi::Handle scpGone = CkScp_Create();
    CkScp_Dispose(scpGone);
    for (const ckabi::Handle h : {ckabi::Handle{0}, ckabi::Handle{0xDEADBEEF}, gone, scpGone}) {
        EXPECT_FALSE(CkSsh_Connect(h, u"127.0.0.1", 22));
        CkSsh_putIdleTimeoutMs(h, 1);
        EXPECT_FALSE(CkSsh_AuthenticatePw(h, u"root", u""));
        EXPECT_EQ(utf8(CkSsh__quickCommand(h, u"true", u"ansi")), "");
        EXPECT_FALSE(CkSsh_getLastMethodSuccess(h));
        EXPECT_EQ(utf8(CkSsh__lastErrorText(h)), "");
        CkSsh_Disconnect(h);
        CkSsh_Dispose(h);
        EXPECT_FALSE(CkScp_UseSsh(h, disposed.h));
        EXPECT_FALSE(CkScp_UploadFile(h, u"/etc/hostname", u"/tmp/x"));
        EXPECT_FALSE(CkScp_DownloadFile(h, u"/tmp/x", u"/tmp/y"));
        EXPECT_EQ(utf8(CkScp__lastErrorText(h)), "");
        CkScp_Dispose(h);
    }
    // A transfer on a session that is not logged in, or that went away, says so.
    Transfer t;
    EXPECT_FALSE(CkScp_UseSsh(t.h, disposed.h));
    EXPECT_NE(t.error().find("not connected"), std::string::npos) << t.error();
    EXPECT_FALSE(t.put("/etc/hostname", "/tmp/x"));
    EXPECT_NE(t.error().find("UseSsh"), std::string::npos) << t.error();
    {
        Session s;
        ASSERT_TRUE(s.open()) << s.error();
        ASSERT_TRUE(CkScp_UseSsh(t.h, s.h));
    }
    EXPECT_FALSE(t.put("/etc/hostname", "/tmp/x"));
    EXPECT_NE(t.error().find("released"), std::string::npos) << t.error();
    // Disconnect and Dispose in any state, and twice.
    Session s;
    CkSsh_Disconnect(s.h);
    ASSERT_TRUE(s.open()) << s.error();
    CkSsh_Disconnect(s.h);
    CkSsh_Disconnect(s.h);
    s.run("true");
    EXPECT_FALSE(s.ok());
}

} // namespace
