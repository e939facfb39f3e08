// Every binding operation against the complete fake library, called across the library boundary
// with the library's calling convention: it binds its own slot by its own (undecorated) name at
// the first call and never looks up again, binds nothing else, and hands arguments and results
// through unchanged. A caller and library that disagree on the convention garble the arguments
// or the stack here, on 32-bit Windows.
#include "binding_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace loadertest;

namespace {

struct BindingCase {
    const char *entry;
    Family family;
    int slot;
    std::function<std::string()> call; // calls the binding operation and shows its result
    const char *expectedCall;          // the call as the library saw it
    const char *expectedResult;
};

std::string None() {
    return {};
}

const BindingCase BindingCases[] = {
    {"CkSsh_Create", Family::Ssh, 0, [] { return Shown(Ssh::CkSsh_Create()); }, "CkSsh_Create",
     "305419896"},
    {"CkSsh_Dispose", Family::Ssh, 1,
     [] {
         Ssh::CkSsh_Dispose(Session);
         return None();
     },
     "CkSsh_Dispose 70001", ""},
    {"CkSsh_putIdleTimeoutMs", Family::Ssh, 56,
     [] {
         Ssh::CkSsh_putIdleTimeoutMs(Session, 5000);
         return None();
     },
     "CkSsh_putIdleTimeoutMs 70001 5000", ""},
    {"CkSsh__lastErrorText", Family::Ssh, 63,
     [] { return Shown(Ssh::CkSsh__lastErrorText(Session)); }, "CkSsh__lastErrorText 70001",
     "[ssh error of 70001]"},
    {"CkSsh_getLastMethodSuccess", Family::Ssh, 66,
     [] { return Shown(Ssh::CkSsh_getLastMethodSuccess(Session)); },
     "CkSsh_getLastMethodSuccess 70001", "258"},
    {"CkSsh_AuthenticatePw", Family::Ssh, 118,
     [] { return Shown(Ssh::CkSsh_AuthenticatePw(Session, u"root", u"")); },
     "CkSsh_AuthenticatePw 70001 [root] []", "258"},
    {"CkSsh_Connect", Family::Ssh, 155,
     [] { return Shown(Ssh::CkSsh_Connect(Session, u" board.invalid ", 2222)); },
     "CkSsh_Connect 70001 [ board.invalid ] 2222", "258"},
    {"CkSsh_Disconnect", Family::Ssh, 162,
     [] {
         Ssh::CkSsh_Disconnect(Session);
         return None();
     },
     "CkSsh_Disconnect 70001", ""},
    {"CkSsh__quickCommand", Family::Ssh, 195,
     [] {
         return Shown(Ssh::CkSsh__quickCommand(Session, u"ls -F  /tmp/DCIM/100HSCAM/", u"ansi"));
     },
     "CkSsh__quickCommand 70001 [ls -F  /tmp/DCIM/100HSCAM/] [ansi]",
     "[output of [ls -F  /tmp/DCIM/100HSCAM/]]"},
    {"CkScp_Create", Family::Scp, 0, [] { return Shown(Scp::CkScp_Create()); }, "CkScp_Create",
     "2596069104"},
    {"CkScp_Dispose", Family::Scp, 1,
     [] {
         Scp::CkScp_Dispose(Transfer);
         return None();
     },
     "CkScp_Dispose 70002", ""},
    {"CkScp__lastErrorText", Family::Scp, 12,
     [] { return Shown(Scp::CkScp__lastErrorText(Transfer)); }, "CkScp__lastErrorText 70002",
     "[scp error of 70002]"},
    {"CkScp_DownloadFile", Family::Scp, 54,
     [] {
         return Shown(
             Scp::CkScp_DownloadFile(Transfer, u"/app/rtspserver.dat", u"C:\\pc\\rtspserver.dat"));
     },
     "CkScp_DownloadFile 70002 [/app/rtspserver.dat] [C:\\pc\\rtspserver.dat]", "258"},
    {"CkScp_UploadFile", Family::Scp, 71,
     [] { return Shown(Scp::CkScp_UploadFile(Transfer, u"C:\\pc\\burn.img", u"/tmp/burn.img")); },
     "CkScp_UploadFile 70002 [C:\\pc\\burn.img] [/tmp/burn.img]", "258"},
    {"CkScp_UseSsh", Family::Scp, 75, [] { return Shown(Scp::CkScp_UseSsh(Transfer, Session)); },
     "CkScp_UseSsh 70002 70001", "258"},
};

// The slot numbers whose contents differ, e.g. "3 7"; empty when the tables are equal.
template <typename Table> std::string ChangedSlots(const Table &expected, const Table &actual) {
    std::string changed;
    for (std::size_t slot = 0; slot < expected.size(); ++slot) {
        if (expected[slot] != actual[slot]) {
            changed += (changed.empty() ? "" : " ") + std::to_string(slot);
        }
    }
    return changed;
}

// Names the row in test output instead of a byte dump.
void PrintTo(const BindingCase &row, std::ostream *out) {
    *out << row.entry;
}

class Binding : public testing::TestWithParam<BindingCase> {
protected:
    LoaderSpy spy;
};

TEST_P(Binding, BindsOwnSlotOnceAndHandsCallsThrough) {
    const BindingCase &row = GetParam();
    auto sshExpected = Ssh::SshEntries;
    auto scpExpected = Scp::ScpEntries;
    ASSERT_EQ(nullptr, SlotOf(row.family, row.slot)) << "bound ahead of its first call";

    for (const char *which : {"first call", "second call"}) {
        SCOPED_TRACE(which);
        EXPECT_EQ(row.expectedResult, row.call());
        EXPECT_EQ(std::string(row.expectedCall) + "\n", FakeTakeCalls());
    }

    const std::vector<std::string> oneLookup{ExpectLookup("#1", row.entry, true)};
    EXPECT_EQ(oneLookup, TakeLookups(spy)) << "both calls together";
    void *entry = UnwatchedEntry(row.entry);
    ASSERT_NE(nullptr, entry) << "the fake library exports no " << row.entry;
    (row.family == Family::Ssh ? sshExpected[row.slot] : scpExpected[row.slot]) = entry;
    EXPECT_EQ("", ChangedSlots(sshExpected, Ssh::SshEntries)) << "SSH slots not as expected";
    EXPECT_EQ("", ChangedSlots(scpExpected, Scp::ScpEntries)) << "SCP slots not as expected";
}

INSTANTIATE_TEST_SUITE_P(, Binding, testing::ValuesIn(BindingCases),
                         [](const testing::TestParamInfo<BindingCase> &info) {
                             return std::string(info.param.entry);
                         });

} // namespace
