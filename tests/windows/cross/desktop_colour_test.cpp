// The desktop colour as the window shell reads it on Windows: the system colour's three channels
// in red, green, blue order (COLORREF keeps them the other way round). The colour is set for this
// session only and put back afterwards.
#include "Win32Shell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

class DesktopColourSet {
public:
    explicit DesktopColourSet(COLORREF colour) : previous_(GetSysColor(COLOR_DESKTOP)) {
        Set(colour);
    }
    DesktopColourSet(const DesktopColourSet &) = delete;
    DesktopColourSet &operator=(const DesktopColourSet &) = delete;
    ~DesktopColourSet() { Set(previous_); }

private:
    static void Set(COLORREF colour) {
        const INT element = COLOR_DESKTOP;
        if (!SetSysColors(1, &element, &colour)) {
            ADD_FAILURE() << "SetSysColors failed: " << GetLastError();
        }
    }

    COLORREF previous_;
};

TEST(DesktopColour, GivesRedGreenBlueInThatOrder) {
    const DesktopColourSet set(RGB(0x12, 0x34, 0x56));
    ASSERT_EQ(RGB(0x12, 0x34, 0x56), GetSysColor(COLOR_DESKTOP)) << "the colour was not set";
    EXPECT_EQ((std::array<std::uint8_t, 3>{0x12, 0x34, 0x56}), shell::win32::DesktopColour());
}

} // namespace
