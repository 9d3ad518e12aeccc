// Full screen on a Wayland desktop: the demo under a headless sway, through
// its Xwayland (tests/support/with-sway.sh), seen and driven as a user
// would: the output as the compositor shows it (grim), keys from the
// compositor's keyboard (wtype). Xwayland's video modes only pretend, so the
// full-screen picture must be the 4:3 view between black bars at the
// output's own size, and Escape must end the demo.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/capture_kit.h"
#include "tests/support/demo_fixture.h"

#include <cstdlib>
#include <filesystem>

namespace e2e {
namespace {

// The headless output and the 4:3 view centred in it.
constexpr int kOutputWidth = 1920, kOutputHeight = 1080;
constexpr int kViewLeft = 240, kViewRight = 1680;

bool Black(const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

// The columns of the output that are not all black.
std::vector<bool> LitColumns(const capturetest::cImage& shot) {
    std::vector<bool> lit(size_t(shot.width), false);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (!Black(shot.At(x, y))) lit[size_t(x)] = true;
    return lit;
}

bool AnyLit(const std::vector<bool>& lit, int from, int to) {
    for (int x = from; x < to; ++x)
        if (lit[size_t(x)]) return true;
    return false;
}

TEST(WaylandE2e, FullScreenIsLetterboxedAtTheOutputsSizeAndEscapeEndsIt) {
    if (const char* why = getenv("VK_WAYLAND_SKIP")) GTEST_SKIP() << why;
    ASSERT_TRUE(getenv("WAYLAND_DISPLAY")) << "run under tests/support/with-sway.sh";
    const std::string dir = MakeScratchDirectory();
    // The generated data: the title card lies across most of the view.
    std::filesystem::create_directory_symlink(VK_DATA_DIR, dir + "/Data");
    {
        cDemoProcess demo(DemoProgram(), dir, {"SDL_AUDIODRIVER=dummy"});
        ASSERT_TRUE(demo.WaitForLine("fps: ", 30, true)) << demo.Output();
        EXPECT_TRUE(InOrder(demo.Lines(), {"Xwayland's XF86VidMode only pretends: full screen keeps the desktop resolution",
                                           "Resolution 1920x1080"}))
            << demo.Output();
        EXPECT_EQ(demo.Count("XF86VidModeExtension-Version ", true), 0u);

        const std::string shotPath = dir + "/output.png";
        ASSERT_EQ(std::system(("grim " + shotPath).c_str()), 0);
        const capturetest::cImage shot = capturetest::ReadPng(shotPath);
        ASSERT_EQ(shot.width, kOutputWidth);
        ASSERT_EQ(shot.height, kOutputHeight);
        const std::vector<bool> lit = LitColumns(shot);
        EXPECT_FALSE(AnyLit(lit, 0, kViewLeft)) << "the left bar is not black";
        EXPECT_FALSE(AnyLit(lit, kViewRight, kOutputWidth)) << "the right bar is not black";
        // The picture spans the view, not only an 800 x 600 middle.
        EXPECT_TRUE(AnyLit(lit, kViewLeft, kOutputWidth / 2 - 400)) << "nothing in the view's left part";
        EXPECT_TRUE(AnyLit(lit, kOutputWidth / 2 + 400, kViewRight)) << "nothing in the view's right part";

        // A keyboard that has just appeared may lose its first key while
        // the compositor hands it to Xwayland: a key the demo ignores first.
        ASSERT_EQ(std::system("wtype -k Shift_L -s 300 -k Escape"), 0);
        EXPECT_EQ(demo.WaitForExit(15), 0) << demo.Output();
        EXPECT_TRUE(InOrder(demo.Lines(), {"stopping song", "freeing song", "closing fmod"})) << demo.Output();
    }
    RemoveDirectory(dir);
}

}  // namespace
}  // namespace e2e
