// Against the fake library that lacks CkSsh_Connect and CkScp_UploadFile: the missing entry
// point raises "Function not found: ChilkatDelphi32.dll.<name>" at each call, leaves its slot
// empty and is looked up again next time, while the entry points bound before keep working from
// their slots.
#include "binding_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace loadertest;

namespace {

struct MissingCase {
    const char *entry;
    Family family;
    int slot;
    std::function<void()> callMissing;
    std::function<void()> callBound; // an entry point of the same family the library has
    int boundSlot;
    const char *boundCall;
};

const MissingCase MissingCases[] = {
    {"CkSsh_Connect", Family::Ssh, 155, [] { Ssh::CkSsh_Connect(Session, u"board", 22); },
     [] { Ssh::CkSsh_Create(); }, 0, "CkSsh_Create"},
    {"CkScp_UploadFile", Family::Scp, 71,
     [] { Scp::CkScp_UploadFile(Transfer, u"C:\\pc\\burn.img", u"/tmp/burn.img"); },
     [] { Scp::CkScp_Create(); }, 0, "CkScp_Create"},
};

std::string ErrorOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const ckDllLoader::Exception &error) {
        return error.what();
    }
    return "(nothing raised)";
}

// Names the row in test output instead of a byte dump.
void PrintTo(const MissingCase &row, std::ostream *out) {
    *out << row.entry;
}

class MissingEntry : public testing::TestWithParam<MissingCase> {
protected:
    LoaderSpy spy;
};

TEST_P(MissingEntry, RaisesEachTimeAndKeepsEarlierSlots) {
    const MissingCase &row = GetParam();
    row.callBound();
    void *bound = SlotOf(row.family, row.boundSlot);
    ASSERT_NE(nullptr, bound);
    FakeTakeCalls();
    spy.Take();

    for (const char *which : {"first call", "second call"}) {
        SCOPED_TRACE(which);
        EXPECT_EQ("Function not found: ChilkatDelphi32.dll." + std::string(row.entry),
                  ErrorOf(row.callMissing));
        EXPECT_EQ(nullptr, SlotOf(row.family, row.slot));
        // Looked up afresh in the library that stays loaded: no load lines.
        const std::vector<std::string> oneLookup{ExpectLookup("#1", row.entry, false)};
        EXPECT_EQ(oneLookup, spy.Take());
    }

    row.callBound();
    EXPECT_EQ(bound, SlotOf(row.family, row.boundSlot));
    EXPECT_EQ(std::string(row.boundCall) + "\n", FakeTakeCalls());
    EXPECT_EQ(std::vector<std::string>{}, spy.Take()) << "a bound entry point was looked up";
}

INSTANTIATE_TEST_SUITE_P(, MissingEntry, testing::ValuesIn(MissingCases),
                         [](const testing::TestParamInfo<MissingCase> &info) {
                             return std::string(info.param.entry);
                         });

} // namespace
