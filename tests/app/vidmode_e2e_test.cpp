// Full screen on a server with XF86VidMode (Xorg with the dummy driver): the
// demo switches to 800 x 600, and every way out of full screen gives the
// server its desktop mode back.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/demo_fixture.h"
#include "tests/support/process_table.h"

#include <X11/keysym.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>

namespace e2e {
namespace {

// Polls until pid has ended; false when it still runs after the timeout.
bool EndsWithin(pid_t pid, double timeout) {
    for (double waited = 0; waited <= timeout; waited += 0.02) {
        if (!e2e::StillRunning(pid)) return true;
        usleep(20000);
    }
    return false;
}

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

    // Polls the server's mode until it is the desktop's; the seconds that
    // took, or -1 when it is not back within the timeout.
    double SecondsUntilDesktop(double timeout) {
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            int w = 0, h = 0;
            if (x.CurrentModeSize(w, h) && w == desktopWidth && h == desktopHeight) return waited;
            if (waited > timeout) return -1;
            usleep(20000);
        }
    }

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
    const std::vector<pid_t> guardians = ChildrenOf(demo->Pid(), "vindelkrok-mode");
    ASSERT_EQ(guardians.size(), 1u);

    x.Key(XK_Escape);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    EXPECT_EQ(Mode(), Desktop());
    EXPECT_TRUE(EndsWithin(guardians[0], 2.0)) << "the guardian outlives an orderly end";
}

TEST_F(VidModeE2e, OneDemoAtATimeSwitchesTheModeAndTheDesktopComesBackAfterBoth) {
    const std::string refused = "vindelkrok: another demo runs full screen on this display and holds its video mode";
    auto first = Start();
    ASSERT_TRUE(first->WaitForLine("fps: ", 10, true)) << first->Output();
    ASSERT_EQ(Mode(), "800x600");
    ASSERT_NE(x.WaitForMappedWindow(1).id, 0u);

    // A second full-screen start (a double click on the launcher) changes
    // nothing and says why.
    auto second = StartWith({}, {"SDL_AUDIODRIVER=dummy"}, true);
    EXPECT_EQ(second->WaitForExit(8), 1) << second->Output();
    EXPECT_EQ(second->Count(refused + "; not starting (vindelkrok --windowed runs beside it)"), 1u)
        << second->Output();
    EXPECT_EQ(second->Count("Resolution ", true), 0u) << second->Output();
    EXPECT_EQ(x.WaitForMappedWindow(0.5).id, 0u) << "the refused demo mapped a window";
    EXPECT_EQ(Mode(), "800x600");

    // A windowed one runs beside it.
    auto windowed = StartWith({"--windowed"}, {"SDL_AUDIODRIVER=dummy"});
    const cWindowInfo managed = x.WaitForMappedWindow(10);
    ASSERT_NE(managed.id, 0u) << windowed->Output();
    ASSERT_TRUE(windowed->WaitForLine("fps: ", 10, true)) << windowed->Output();
    EXPECT_EQ(Mode(), "800x600");

    // Escape goes to the demo on screen, which gives the desktop its mode
    // back at once; the windowed one ends without touching it.
    x.Key(XK_Escape);
    EXPECT_EQ(first->WaitForExit(8), 0) << first->Output();
    EXPECT_EQ(Mode(), Desktop());
    x.RequestClose(managed.id);
    EXPECT_EQ(windowed->WaitForExit(8), 0) << windowed->Output();
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

TEST_F(VidModeE2e, ADemoKilledOrCrashedFullScreenStillGetsTheDesktopBack) {
    // Killed from outside, no code of the demo runs: the guardian it forked
    // at start restores the mode and then ends itself.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    for (int signal : {SIGKILL, SIGSEGV, SIGABRT}) {
        SCOPED_TRACE(strsignal(signal));
        auto demo = Start();
        ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
        ASSERT_EQ(Mode(), "800x600");
        const std::vector<pid_t> guardians = ChildrenOf(demo->Pid(), "vindelkrok-mode");
        ASSERT_EQ(guardians.size(), 1u) << "the demo forks exactly one guardian";

        demo->Signal(signal);
        const double restored = SecondsUntilDesktop(2.0);
        EXPECT_GE(restored, 0) << "still " << Mode() << " 2 s after the demo died";
        RecordProperty(std::string("restored_after_") + sigabbrev_np(signal), std::to_string(restored));
        // The guardian holds none of the demo's output: its end comes at once.
        EXPECT_EQ(demo->WaitForExit(2), 128 + signal);
        EXPECT_TRUE(EndsWithin(guardians[0], 2.0)) << "the guardian outlives the demo";
    }
}

}  // namespace
}  // namespace e2e
