// Full screen on a Wayland desktop: the demo on a headless sway through its
// Xwayland (tests/support/with-sway.sh), seen and driven as a user would:
// the output as the compositor shows it (grim), keys from the compositor's
// keyboard (wtype). The picture is the 4:3 view between black bars at the
// output's own size, and Escape ends the demo.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/capture_kit.h"
#include "tests/support/demo_fixture.h"

#include <cstdlib>
#include <filesystem>

namespace e2e {
namespace {

// Whether any pixel of the columns [from, to) of the shot is not black.
bool AnyLit(const capturetest::cImage& shot, int from, int to) {
    for (int y = 0; y < shot.height; ++y)
        for (int x = from; x < to; ++x)
            if (shot.At(x, y)[0] | shot.At(x, y)[1] | shot.At(x, y)[2]) return true;
    return false;
}

using WaylandE2e = cDemoTest;

TEST_F(WaylandE2e, FullScreenIsLetterboxedAtTheOutputsSizeAndEscapeEndsIt) {
    if (const char* why = getenv("VK_WAYLAND_SKIP")) GTEST_SKIP() << why;
    ASSERT_TRUE(getenv("WAYLAND_DISPLAY")) << "run under tests/support/with-sway.sh";
    // The generated data: the title card reaches across most of the view.
    std::filesystem::create_directory_symlink(VK_DATA_DIR, dir + "/Data");
    cDemoProcess demo(DemoProgram(), dir, {"SDL_AUDIODRIVER=dummy"}, true, {}, true);
    ASSERT_TRUE(demo.WaitForLine("fps: ", 30, true)) << demo.Output();
    EXPECT_TRUE(InOrder(demo.Lines(), {"vindelkrok: Xwayland's XF86VidMode only pretends: full screen keeps the "
                                       "desktop resolution",
                                       "Resolution 1920x1080"}))
        << demo.Output();

    // The title fades in: shots until it spans the 1440-wide view (not
    // only an 800 x 600 middle), the bars black in every one.
    bool spans = false;
    for (int shots = 0; shots < 16 && !spans; ++shots, demo.ReadFor(0.5)) {
        ASSERT_EQ(std::system("grim wayland-output.png"), 0);
        const capturetest::cImage shot = capturetest::ReadPng("wayland-output.png");
        ASSERT_EQ(shot.width, 1920);
        ASSERT_EQ(shot.height, 1080);
        ASSERT_FALSE(AnyLit(shot, 0, 240) || AnyLit(shot, 1680, 1920)) << "the bars are not black";
        spans = AnyLit(shot, 240, 560) && AnyLit(shot, 1360, 1680);
    }
    EXPECT_TRUE(spans) << "the picture does not fill the view";

    // A keyboard that has just appeared may lose its first key while
    // the compositor hands it to Xwayland: a key the demo ignores first.
    ASSERT_EQ(std::system("wtype -k Shift_L -s 300 -k Escape"), 0);
    EXPECT_EQ(demo.WaitForExit(15), 0) << demo.Output();
    EXPECT_TRUE(InOrder(demo.Lines(), {"stopping song", "freeing song", "closing fmod"})) << demo.Output();
}

}  // namespace
}  // namespace e2e
