// The library's PC files on Windows: the one open that both an upload and Pyrelle's check before
// it use, and the temporary file a download goes through, in plain and in deep folders.
#include "Process.h"
#include "localfile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace wintest;
using sshlib::localfile::InputFile;
using sshlib::localfile::ReplacingFile;

namespace {

namespace fs = std::filesystem;

std::u16string U16(const fs::path &path) {
    const std::wstring w = path.wstring();
    return std::u16string(w.begin(), w.end());
}

// The names in a folder, through the long form of our own making: the C++ library's folder
// listing stops at MAX_PATH.
std::vector<std::wstring> Names(const fs::path &folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const std::wstring pattern = L"\\\\?\\" + folder.wstring() + L"\\*";
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return {L"(cannot list the folder)"};
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// Removes a folder and what is in it at any depth, for the same reason.
void RemoveTree(const fs::path &folder) {
    for (const std::wstring &name : Names(folder)) {
        const std::wstring path = L"\\\\?\\" + (folder / name).wstring();
        const DWORD attrs = GetFileAttributesW(path.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
            RemoveTree(folder / name);
        } else {
            DeleteFileW(path.c_str());
        }
    }
    RemoveDirectoryW((L"\\\\?\\" + folder.wstring()).c_str());
}

// Nested folders under `base`, until a file inside is past MAX_PATH; removed at the end.
class DeepFolder {
public:
    explicit DeepFolder(const fs::path &base) : top_(base / Name) {
        RemoveTree(top_);
        path_ = top_;
        while (path_.wstring().size() < 300) {
            path_ /= Name;
        }
        fs::create_directories(path_);
    }
    ~DeepFolder() { RemoveTree(top_); }
    DeepFolder(const DeepFolder &) = delete;
    DeepFolder &operator=(const DeepFolder &) = delete;
    const fs::path &Path() const { return path_; }

private:
    static constexpr const wchar_t *Name = L"Firmware images of the recording board";
    fs::path top_;
    fs::path path_;
};

void Write(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Another program's handle on a file, closed when this goes.
struct OtherProgram {
    HANDLE h = INVALID_HANDLE_VALUE;
    OtherProgram(const fs::path &path, DWORD access, DWORD share) {
        const std::wstring name = L"\\\\?\\" + path.wstring();
        h = CreateFileW(name.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    ~OtherProgram() {
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        }
    }
};

enum class Setup { Plain, HeldForWriting, HeldForReading, Absent, InAbsentFolder, Folder };

struct OpenCase {
    const char *name;
    Setup setup;
    bool deep;     // in a folder past MAX_PATH
    bool relative; // given relative to the current folder
    bool opens;
    bool absent;       // after a failed open
    const char *error; // after a failed open: part of the reason
};

void PrintTo(const OpenCase &c, std::ostream *os) {
    *os << c.name;
}

class Open : public testing::TestWithParam<OpenCase> {};

TEST_P(Open, AsAnUploadOpensIt) {
    const OpenCase &c = GetParam();
    const TempFolder temp(std::string("open-") + c.name);
    const DeepFolder deep(temp.Path());
    const fs::path folder = c.deep ? deep.Path() : temp.Path();
    fs::path file = folder / L"rootfs.jffs2";
    if (c.setup == Setup::InAbsentFolder) {
        file = folder / L"absent" / L"rootfs.jffs2";
    } else if (c.setup == Setup::Folder) {
        fs::create_directory(file);
    } else if (c.setup != Setup::Absent) {
        Write(file, "root file system");
    }
    const bool writing = c.setup == Setup::HeldForWriting;
    const OtherProgram other(file, writing ? GENERIC_WRITE : GENERIC_READ,
                             writing ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ);
    if (writing || c.setup == Setup::HeldForReading) {
        ASSERT_NE(other.h, INVALID_HANDLE_VALUE) << "the other program cannot open the file";
    }
    const fs::path before = fs::current_path();
    if (c.relative) {
        fs::current_path(temp.Path());
    }
    const std::u16string given = U16(c.relative ? fs::relative(file, temp.Path()) : file);

    InputFile input;
    std::string error;
    const bool opened = input.open(given, error);
    fs::current_path(before);

    ASSERT_EQ(opened, c.opens) << error;
    if (opened) {
        EXPECT_EQ(input.size(), 16u);
        char buffer[32];
        EXPECT_EQ(input.read(buffer, sizeof buffer, error), 16) << error;
        EXPECT_EQ(std::string(buffer, 16), "root file system");
    } else {
        EXPECT_EQ(input.absent(), c.absent) << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    PcFiles, Open,
    testing::Values(OpenCase{"plain", Setup::Plain, false, false, true, false, ""},
                    OpenCase{"held_for_writing_by_another_program", Setup::HeldForWriting, false,
                             false, false, false, "it is in use by another program"},
                    OpenCase{"held_for_reading_by_another_program", Setup::HeldForReading, false,
                             false, true, false, ""},
                    OpenCase{"absent", Setup::Absent, false, false, false, true, ""},
                    OpenCase{"in_an_absent_folder", Setup::InAbsentFolder, false, false, false,
                             true, ""},
                    OpenCase{"a_folder", Setup::Folder, false, false, false, true, "folder"},
                    OpenCase{"past_max_path", Setup::Plain, true, false, true, false, ""},
                    OpenCase{"past_max_path_relative", Setup::Plain, true, true, true, false, ""},
                    OpenCase{"past_max_path_held_for_writing", Setup::HeldForWriting, true, false,
                             false, false, "it is in use by another program"},
                    OpenCase{"past_max_path_absent", Setup::Absent, true, false, false, true, ""}),
    [](const auto &info) { return std::string(info.param.name); });

// A download into a deep folder: the temporary file is created beside the destination, renamed
// over the earlier copy, and nothing else is left; one that is given up leaves the copy alone.
TEST(Replacing, PastMaxPath) {
    const TempFolder temp("replacing");
    const DeepFolder deep(temp.Path());
    const fs::path &folder = deep.Path();
    const fs::path file = folder / L"rtspserver.dat";
    Write(file, "earlier copy");
    {
        ReplacingFile given_up;
        std::string error;
        ASSERT_TRUE(given_up.create(U16(file), error)) << error;
        ASSERT_TRUE(given_up.write("half", 4, error)) << error;
    }
    ReplacingFile out;
    std::string error;
    ASSERT_TRUE(out.create(U16(file), error)) << error;
    ASSERT_TRUE(out.write("new settings", 12, error)) << error;
    ASSERT_TRUE(out.commit(error)) << error;

    std::ifstream in(file, std::ios::binary);
    const std::string contents((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(contents, "new settings");
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{L"rtspserver.dat"})
        << "a temporary file was left beside the destination";
}

} // namespace
