// Choosing the full-screen video mode from the server's list.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "app/video_mode.h"

#include <vector>

namespace {

XF86VidModeModeInfo Mode(int w, int h, unsigned dotclock) {
    XF86VidModeModeInfo mode{};
    mode.hdisplay = static_cast<unsigned short>(w);
    mode.vdisplay = static_cast<unsigned short>(h);
    mode.dotclock = dotclock;
    return mode;
}

TEST(VideoMode, LastModeOfTheRequestedSizeWins) {
    std::vector<XF86VidModeModeInfo> modes = {Mode(1024, 768, 1), Mode(800, 600, 2), Mode(640, 480, 3),
                                              Mode(800, 600, 4), Mode(800, 480, 5)};
    std::vector<XF86VidModeModeInfo*> list;
    for (auto& m : modes) list.push_back(&m);
    EXPECT_EQ(ChooseMode(list.data(), int(list.size()), 800, 600), 3);
    EXPECT_EQ(ChooseMode(list.data(), int(list.size()), 1024, 768), 0);
}

TEST(VideoMode, NoModeOfTheRequestedSizeChoosesNone) {
    std::vector<XF86VidModeModeInfo> modes = {Mode(1024, 768, 1), Mode(600, 800, 2), Mode(800, 601, 3)};
    std::vector<XF86VidModeModeInfo*> list;
    for (auto& m : modes) list.push_back(&m);
    EXPECT_EQ(ChooseMode(list.data(), int(list.size()), 800, 600), -1);
    EXPECT_EQ(ChooseMode(nullptr, 0, 800, 600), -1);
}

}  // namespace
