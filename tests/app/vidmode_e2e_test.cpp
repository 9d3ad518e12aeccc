// Full screen on a server with XF86VidMode (Xorg with the dummy driver): the
// demo switches to 800 x 600, and every way out of full screen gives the
// server its desktop mode back.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/demo_fixture.h"

#include <X11/keysym.h>

#include <csignal>

namespace e2e {
namespace {

class VidModeE2e : public cDemoTest {
protected:
    void SetUp() override {
        cDemoTest::SetUp();
        ASSERT_TRUE(x.ok());
        ASSERT_TRUE(x.HasVidMode()) << "run under tests/support/with-xorg-dummy.sh";
        ASSERT_TRUE(x.CurrentModeSize(desktopWidth, desktopHeight));
        ASSERT_NE(desktopWidth, 800) << "the test server's desktop mode must differ from 800x600";
    }

    // The size of the server's mode now, as "WxH".
    std::string Mode() {
        int w = 0, h = 0;
        EXPECT_TRUE(x.CurrentModeSize(w, h));
        return std::to_string(w) + "x" + std::to_string(h);
    }
    std::string Desktop() const { return std::to_string(desktopWidth) + "x" + std::to_string(desktopHeight); }

    cXDriver x;
    int desktopWidth = 0, desktopHeight = 0;
};

TEST_F(VidModeE2e, FullScreenSwitchesTo800x600AndEscapeRestoresTheDesktop) {
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    EXPECT_EQ(Mode(), "800x600");
    EXPECT_TRUE(InOrder(demo->Lines(), {"Got Doublebuffered Visual!", "Resolution 800x600"})) << demo->Output();
    EXPECT_EQ(demo->Count("XF86VidModeExtension-Version ", true), 1u);
    const cWindowInfo window = x.WaitForMappedWindow(1);
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);

    x.Key(XK_Escape);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    EXPECT_EQ(Mode(), Desktop());
}

TEST_F(VidModeE2e, F1RestoresTheDesktopForTheWindowAndSwitchesBack) {
    auto demo = Start();
    const cWindowInfo managed = SwitchToManagedWindow(*demo, x);
    ASSERT_NE(managed.id, 0u) << demo->Output();
    EXPECT_EQ(Mode(), Desktop());

    x.Key(XK_F1, managed.id);
    ASSERT_NE(x.WaitForMappedWindow(3).id, 0u);
    ASSERT_TRUE(WaitForNextFps(*demo));
    EXPECT_EQ(Mode(), "800x600");
    EXPECT_EQ(demo->Count("Resolution 800x600"), 2u) << demo->Output();

    x.Key(XK_Escape);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    EXPECT_EQ(Mode(), Desktop());
}

TEST_F(VidModeE2e, SoundFailureAfterTheSwitchRestoresTheDesktop) {
    auto demo = Start(false);
    EXPECT_EQ(demo->WaitForExit(8), 1) << demo->Output();
    EXPECT_TRUE(InOrder(demo->Lines(), {"Resolution 800x600", "File not found"})) << demo->Output();
    EXPECT_EQ(Mode(), Desktop());
}

TEST_F(VidModeE2e, RestoresTheModeInUseRatherThanTheFirstListed) {
    // The desktop runs at 640x480; the server still lists 1024x768 first.
    ASSERT_TRUE(x.SwitchMode(640, 480));
    ASSERT_EQ(Mode(), "640x480");
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    EXPECT_EQ(Mode(), "800x600");
    x.Key(XK_Escape);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    EXPECT_EQ(Mode(), "640x480");
}

TEST_F(VidModeE2e, SigtermRestoresTheDesktop) {
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    EXPECT_EQ(Mode(), "800x600");
    demo->Signal(SIGTERM);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    EXPECT_EQ(Mode(), Desktop());
}

}  // namespace
}  // namespace e2e
