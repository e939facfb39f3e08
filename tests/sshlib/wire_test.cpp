// What the library makes of the bytes a board sends: command output text and SCP records.
#include "localfile.h"
#include "scp.h"
#include "textconv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace sshlib;

struct DecodeCase {
    const char *name;
    std::string bytes;
    std::u16string text;
};

class Utf8Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decode, NothingDroppedNothingCut) {
    const auto &c = GetParam();
    EXPECT_EQ(text::decode(c.bytes, u"ansi"), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Output, Utf8Decode,
    testing::Values(DecodeCase{"ascii", "a*\nb/\n", u"a*\nb/\n"},
                    DecodeCase{"two_and_three_byte", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC",
                               u"\u00E9t\u00E9 \u20AC"},
                    DecodeCase{"four_byte_is_a_pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
                    DecodeCase{"nul_inside", std::string("a\0b", 3), u"a\uFFFDb"},
                    DecodeCase{"lone_continuation", "a\x80z", u"a\uFFFDz"},
                    DecodeCase{"latin1_byte", "caf\xE9!", u"caf\uFFFD!"},
                    DecodeCase{"truncated_at_end", "ok\xE2\x82", u"ok\uFFFD\uFFFD"},
                    DecodeCase{"overlong_slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
                    DecodeCase{"encoded_surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"above_unicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"empty", "", u""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Utf8Encode, UnpairedSurrogateBecomesReplacement) {
    EXPECT_EQ(text::toUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(text::toUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(text::encode(u"ls -F  /tmp", u"utf-8"), "ls -F  /tmp");
}

struct RecordCase {
    const char *name;
    const char *line;
    bool ok;
    std::uint64_t size;
};

class FileRecord : public testing::TestWithParam<RecordCase> {};

TEST_P(FileRecord, OnlyAPlainFileRecordPasses) {
    const auto &c = GetParam();
    const auto rec = scpwire::parseFileRecord(c.line);
    ASSERT_EQ(rec.has_value(), c.ok) << "line: " << c.line;
    if (rec) {
        EXPECT_EQ(rec->size, c.size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Board, FileRecord,
    testing::Values(RecordCase{"plain", "C0644 1234 rtspserver.dat", true, 1234},
                    RecordCase{"empty_file", "C0600 0 x", true, 0},
                    RecordCase{"blank_in_name", "C0644 5 my file", true, 5},
                    RecordCase{"beyond_4GiB", "C0644 4294967297 big.bin", true, 4294967297ull},
                    RecordCase{"directory", "D0755 0 dir", false, 0},
                    RecordCase{"times", "T1 0 1 0", false, 0},
                    RecordCase{"name_with_slash", "C0644 5 ../../etc/passwd", false, 0},
                    RecordCase{"dot_dot", "C0644 5 ..", false, 0},
                    RecordCase{"negative_size", "C0644 -5 x", false, 0},
                    RecordCase{"size_overflow", "C0644 99999999999999999999999 x", false, 0},
                    RecordCase{"size_above_int64", "C0644 9223372036854775808 x", false, 0},
                    RecordCase{"mode_not_octal", "C0648 5 x", false, 0},
                    RecordCase{"no_name", "C0644 5 ", false, 0},
                    RecordCase{"no_size", "C0644  x", false, 0},
                    RecordCase{"short", "C0644", false, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ScpWire, PathsAreQuotedForTheBoardShell) {
    EXPECT_EQ(scpwire::shellQuote("/app/rtspserver.dat"), "'/app/rtspserver.dat'");
    EXPECT_EQ(scpwire::shellQuote("/tmp/a b;rm -rf /"), "'/tmp/a b;rm -rf /'");
    EXPECT_EQ(scpwire::shellQuote("/tmp/it's"), "'/tmp/it'\\''s'");
}

TEST(ScpWire, UploadNameComesFromTheBoardPathElseThePcFile) {
    EXPECT_EQ(scpwire::uploadName("/tmp/uImage", "other"), "uImage");
    EXPECT_EQ(scpwire::uploadName("/tmp/", "uImage"), "uImage");
    EXPECT_EQ(scpwire::uploadName("/tmp/a\nb", "x"), "");
}

// A download writes beside the destination and only replaces it at commit.
TEST(ReplacingFile, OldFileSurvivesUntilCommit) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "ck-replacing-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path dest = dir / "rtspserver.dat";
    std::ofstream(dest) << "old";
    const std::u16string dest16 = dest.u16string();
    std::string err;
    {
        localfile::ReplacingFile f;
        ASSERT_TRUE(f.create(dest16, err)) << err;
        ASSERT_TRUE(f.write("new-but-partial", 15, err)) << err;
        // no commit: a failed transfer
    }
    std::ifstream in(dest);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "the temporary file was left behind";
    {
        localfile::ReplacingFile f;
        ASSERT_TRUE(f.create(dest16, err)) << err;
        ASSERT_TRUE(f.write("new", 3, err)) << err;
        ASSERT_TRUE(f.commit(err)) << err;
    }
    std::ifstream in2(dest);
    std::string replaced((std::istreambuf_iterator<char>(in2)), {});
    EXPECT_EQ(replaced, "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

} // namespace
