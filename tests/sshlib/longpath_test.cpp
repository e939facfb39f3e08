// The form Windows' file calls get for each PC path: deep folders and shares at any length,
// short paths exactly as given. Pure string work, so it runs on every platform.
#include "longpath.h"
#include "textconv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace sshlib;
using localfile::PathForm;

// Six folders of 44 characters: with a drive or a share in front, well past MaxPath.
const std::u16string Deep = [] {
    std::u16string deep;
    for (char16_t n = u'1'; n <= u'6'; ++n)
        deep += std::u16string(u"Firmware-images-of-the-recording-board-") + n + u"-of-6\\";
    deep.pop_back();
    return deep;
}();

std::u16string slashes(std::u16string path) {
    for (char16_t &c : path)
        if (c == u'\\')
            c = u'/';
    return path;
}

// A drive path of exactly `length` characters.
std::u16string driveFileOf(std::size_t length) {
    const std::u16string folder = u"C:\\fw\\";
    return folder + std::u16string(length - folder.size(), u'x');
}

struct LongPathCase {
    const char *name;
    std::u16string given;
    std::u16string expected;
};

void PrintTo(const LongPathCase &c, std::ostream *os) {
    *os << c.name << ": " << text::toUtf8(c.given);
}

class LongPath : public testing::TestWithParam<LongPathCase> {};

TEST_P(LongPath, FormAsWindowsTakesIt) {
    const auto &c = GetParam();
    EXPECT_EQ(text::toUtf8(localfile::windowsLongPath(c.given)), text::toUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    PcPaths, LongPath,
    testing::Values(
        LongPathCase{"drive_short_as_given", u"C:\\fw\\rootfs.jffs2", u"C:\\fw\\rootfs.jffs2"},
        LongPathCase{"drive_short_slashes_as_given", u"C:/fw/../fw/./uImage",
                     u"C:/fw/../fw/./uImage"},
        LongPathCase{"drive_259_as_given", driveFileOf(259), driveFileOf(259)},
        LongPathCase{"drive_260_prefixed", driveFileOf(260), u"\\\\?\\" + driveFileOf(260)},
        LongPathCase{"drive_long", u"C:\\" + Deep + u"\\rootfs.jffs2",
                     u"\\\\?\\C:\\" + Deep + u"\\rootfs.jffs2"},
        LongPathCase{"drive_long_lower_case_letter", u"d:\\" + Deep + u"\\uImage",
                     u"\\\\?\\d:\\" + Deep + u"\\uImage"},
        LongPathCase{"drive_long_forward_slashes", slashes(u"C:\\" + Deep + u"\\uImage"),
                     u"\\\\?\\C:\\" + Deep + u"\\uImage"},
        LongPathCase{"drive_long_doubled_separators", u"C:\\\\" + Deep + u"//\\uImage",
                     u"\\\\?\\C:\\" + Deep + u"\\uImage"},
        LongPathCase{"drive_long_dot_and_dotdot", u"C:\\" + Deep + u"\\.\\old\\..\\uImage",
                     u"\\\\?\\C:\\" + Deep + u"\\uImage"},
        LongPathCase{"drive_long_dotdot_stops_at_drive", u"C:\\..\\..\\" + Deep + u"\\uImage",
                     u"\\\\?\\C:\\" + Deep + u"\\uImage"},
        LongPathCase{"drive_long_ends_in_dotdot", u"C:\\" + Deep + u"\\old\\..",
                     u"\\\\?\\C:\\" + Deep},
        LongPathCase{"drive_long_trailing_separator", u"C:\\" + Deep + u"\\",
                     u"\\\\?\\C:\\" + Deep + u"\\"},
        LongPathCase{"drive_long_trailing_separators", u"C:\\" + Deep + u"\\/\\",
                     u"\\\\?\\C:\\" + Deep + u"\\"},
        LongPathCase{"drive_long_trailing_dots_and_spaces", u"C:\\" + Deep + u"\\uImage. .",
                     u"\\\\?\\C:\\" + Deep + u"\\uImage"},
        LongPathCase{"share_short_as_given", u"\\\\fileserver\\firmware\\uImage",
                     u"\\\\fileserver\\firmware\\uImage"},
        LongPathCase{"share_long", u"\\\\fileserver\\firmware\\" + Deep + u"\\uImage",
                     u"\\\\?\\UNC\\fileserver\\firmware\\" + Deep + u"\\uImage"},
        LongPathCase{"share_long_forward_slashes",
                     slashes(u"\\\\fileserver\\firmware\\" + Deep + u"\\uImage"),
                     u"\\\\?\\UNC\\fileserver\\firmware\\" + Deep + u"\\uImage"},
        LongPathCase{"share_long_dotdot_stops_at_share",
                     u"\\\\fileserver\\firmware\\..\\..\\" + Deep + u"\\uImage",
                     u"\\\\?\\UNC\\fileserver\\firmware\\" + Deep + u"\\uImage"},
        LongPathCase{"share_long_trailing_separator",
                     u"\\\\fileserver\\firmware\\" + Deep + u"\\\\",
                     u"\\\\?\\UNC\\fileserver\\firmware\\" + Deep + u"\\"},
        LongPathCase{"prefixed_drive_left_alone", u"\\\\?\\C:\\" + Deep + u"/x/../uImage",
                     u"\\\\?\\C:\\" + Deep + u"/x/../uImage"},
        LongPathCase{"prefixed_share_left_alone",
                     u"\\\\?\\UNC\\fileserver\\firmware\\" + Deep + u"\\uImage",
                     u"\\\\?\\UNC\\fileserver\\firmware\\" + Deep + u"\\uImage"},
        LongPathCase{"device_path_left_alone", u"\\\\.\\C:\\" + Deep + u"\\uImage",
                     u"\\\\.\\C:\\" + Deep + u"\\uImage"},
        LongPathCase{"relative_long_left_alone", Deep + u"\\uImage", Deep + u"\\uImage"},
        LongPathCase{"rooted_long_left_alone", u"\\" + Deep + u"\\uImage",
                     u"\\" + Deep + u"\\uImage"},
        LongPathCase{"drive_relative_long_left_alone", u"C:" + Deep + u"\\uImage",
                     u"C:" + Deep + u"\\uImage"}),
    [](const auto &info) { return std::string(info.param.name); });

struct FormCase {
    const char *name;
    std::u16string path;
    PathForm form;
};

void PrintTo(const FormCase &c, std::ostream *os) {
    *os << c.name << ": " << text::toUtf8(c.path);
}

class Form : public testing::TestWithParam<FormCase> {};

// Relative forms are the ones the library makes absolute before it looks at their length.
TEST_P(Form, AsWindowsReadsIt) {
    EXPECT_EQ(localfile::windowsPathForm(GetParam().path), GetParam().form);
}

INSTANTIATE_TEST_SUITE_P(
    PcPaths, Form,
    testing::Values(FormCase{"drive", u"C:\\fw", PathForm::Drive},
                    FormCase{"drive_slash", u"z:/tmp", PathForm::Drive},
                    FormCase{"share", u"\\\\fileserver\\firmware", PathForm::Share},
                    FormCase{"share_slashes", u"//fileserver/firmware", PathForm::Share},
                    FormCase{"prefixed", u"\\\\?\\C:\\fw", PathForm::Prefixed},
                    FormCase{"prefixed_share", u"\\\\?\\UNC\\fileserver\\fw", PathForm::Prefixed},
                    FormCase{"device", u"\\\\.\\COM1", PathForm::Prefixed},
                    FormCase{"nt_namespace", u"\\??\\C:\\fw", PathForm::Prefixed},
                    FormCase{"name", u"uImage", PathForm::Relative},
                    FormCase{"folder_and_name", u"fw\\uImage", PathForm::Relative},
                    FormCase{"rooted", u"\\fw\\uImage", PathForm::Relative},
                    FormCase{"drive_relative", u"C:uImage", PathForm::Relative},
                    FormCase{"drive_alone", u"C:", PathForm::Relative},
                    FormCase{"empty", u"", PathForm::Relative}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
