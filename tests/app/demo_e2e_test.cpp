// The demo program under Xvfb (no XF86VidMode), playing a test module into
// the dummy audio output, driven by real X events from a second client.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/demo_fixture.h"
#include "tests/support/process_memory.h"

#include <X11/keysym.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace e2e {
namespace {

const std::vector<std::string> kShutdown = {"stopping song", "freeing song", "closing fmod"};

// Lines of the process-wide objects around the run: the 3DS chunk handlers
// register before main, and every static image says goodbye at exit.
bool IsStaticObjectLine(const std::string& text) {
    return text.rfind("Registering hander for chunk id: 0x", 0) == 0 || text == "nu d\xF6r jag";
}

// The log of the run itself, without the static objects' lines.
std::vector<cLine> RunLines(const cDemoProcess& demo) {
    std::vector<cLine> run;
    for (const cLine& line : demo.Lines())
        if (!IsStaticObjectLine(line.text)) run.push_back(line);
    return run;
}

// The last lines of the run are the shut-down steps, two seconds apart
// between freeing and the end.
void ExpectOrderlyShutdown(const cDemoProcess& demo) {
    const auto lines = RunLines(demo);
    ASSERT_GE(lines.size(), 3u) << demo.Output();
    const size_t n = lines.size();
    EXPECT_EQ(lines[n - 3].text, kShutdown[0]) << demo.Output();
    EXPECT_EQ(lines[n - 2].text, kShutdown[1]);
    EXPECT_EQ(lines[n - 1].text, kShutdown[2]);
    EXPECT_GE(lines[n - 1].time - lines[n - 2].time, 1.9);
}

// The demo's song time, read from its memory.
double SongTimeOf(const cDemoProcess& demo) {
    double t = -1;
    EXPECT_TRUE(ReadProcessDouble(demo.Pid(), DemoProgram(), "gSongTime", t));
    return t;
}

using DemoE2e = cDemoTest;

TEST_F(DemoE2e, LogsStartUpInOrderCountsFramesEverySecondAndQuitsOnEscape) {
    cXDriver x;
    ASSERT_TRUE(x.ok());
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    demo->ReadFor(2.6);
    // The 13 chunk handlers register before anything else is logged.
    ASSERT_GE(demo->Lines().size(), 13u);
    for (size_t i = 0; i < 13; ++i)
        EXPECT_EQ(demo->Lines()[i].text.rfind("Registering hander for chunk id: 0x", 0), 0u) << demo->Output();
    // Without XF86VidMode, full screen is an unmanaged window over the screen.
    const cWindowInfo window = x.WaitForMappedWindow(1);
    ASSERT_NE(window.id, 0u);
    EXPECT_TRUE(window.overrideRedirect);
    const std::string size = std::to_string(window.width) + "x" + std::to_string(window.height);
    EXPECT_TRUE(InOrder(demo->Lines(), {"No XF86VidMode extension: full screen keeps the desktop resolution",
                                        "Got Doublebuffered Visual!", "glX-Version 1.4", "Resolution " + size,
                                        "Depth 24"}))
        << demo->Output();
    EXPECT_EQ(demo->Count("Congrats, you have Direct Rendering!") + demo->Count("Sorry, no Direct Rendering possible!"),
              1u);

    // "fps: " about once a second, each with a whole count.
    std::vector<cLine> fps;
    for (const cLine& line : demo->Lines())
        if (line.text.rfind("fps: ", 0) == 0) fps.push_back(line);
    ASSERT_GE(fps.size(), 3u) << demo->Output();
    for (size_t i = 1; i < fps.size(); ++i) {
        EXPECT_NEAR(fps[i].time - fps[i - 1].time, 1.0, 0.35) << demo->Output();
        const std::string count = fps[i].text.substr(5);
        EXPECT_EQ(count.find_first_not_of("0123456789"), std::string::npos) << fps[i].text;
        EXPECT_GT(std::atoi(count.c_str()), 0);
    }

    x.Key(XK_Escape);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    ExpectOrderlyShutdown(*demo);
    EXPECT_EQ(demo->Count("Exiting sanely..."), 0u);
}

TEST_F(DemoE2e, MouseButtonQuitsWithoutAMessage) {
    cXDriver x;
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    const cWindowInfo window = x.WaitForMappedWindow(1);
    ASSERT_NE(window.id, 0u);
    const size_t before = RunLines(*demo).size();
    x.Click(window.id, 3);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    ExpectOrderlyShutdown(*demo);
    // Nothing but frame-rate lines between the click and the shut-down.
    const auto lines = RunLines(*demo);
    for (size_t i = before; i + 3 < lines.size(); ++i)
        EXPECT_EQ(lines[i].text.rfind("fps: ", 0), 0u) << lines[i].text;
}

TEST_F(DemoE2e, F1TwiceReturnsToFullScreenWithTheSongStillRunning) {
    cXDriver x;
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    const cWindowInfo first = x.WaitForMappedWindow(1);
    ASSERT_TRUE(first.overrideRedirect);
    const double before = SongTimeOf(*demo);
    EXPECT_GT(before, 0.0);

    x.Key(XK_F1);
    const cWindowInfo managed = x.WaitForMappedWindow(3);
    ASSERT_NE(managed.id, 0u) << demo->Output();
    EXPECT_FALSE(managed.overrideRedirect);
    EXPECT_EQ(managed.width, 800);
    EXPECT_EQ(managed.height, 600);
    ASSERT_TRUE(WaitForNextFps(*demo)) << demo->Output();

    x.Key(XK_F1, managed.id);
    const cWindowInfo again = x.WaitForMappedWindow(3);
    ASSERT_NE(again.id, 0u) << demo->Output();
    EXPECT_TRUE(again.overrideRedirect);
    ASSERT_TRUE(WaitForNextFps(*demo)) << demo->Output();
    // Still running, and the song time went on from where it was.
    const double after = SongTimeOf(*demo);
    EXPECT_GT(after, before + 0.5);
    // The new context clears to start-up's black, not to its own grey (the
    // test module's opening orders draw no scene over it).
    EXPECT_EQ(x.PixelAt(again.id, again.width / 2, again.height / 2), 0x000000ul);
    // Each opening logged its window again.
    EXPECT_EQ(demo->Count("Got Doublebuffered Visual!"), 3u);

    x.Key(XK_Escape);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    ExpectOrderlyShutdown(*demo);
}

// The window's class matches the desktop entry, it names its process, and
// its first icon is a whole picture, opaque and of more than two colours.
void ExpectIdentity(const cWindowIdentity& identity, pid_t pid) {
    EXPECT_EQ(identity.instance + " " + identity.windowClass, "vindelkrok Vindelkrok");
    EXPECT_EQ(identity.pid, long(pid));
    const std::vector<unsigned long>& icon = identity.icon;
    ASSERT_GE(icon.size(), 2u);
    ASSERT_TRUE(icon[0] >= 16 && icon[1] == icon[0] && icon.size() >= 2 + icon[0] * icon[1]) << icon.size();
    const std::set<unsigned long> colours(icon.begin() + 2, icon.begin() + 2 + icon[0] * icon[1]);
    EXPECT_GT(colours.size(), 2u) << "a blank icon";
    EXPECT_EQ(*colours.begin() >> 24, 0xffu) << "a transparent pixel";  // the lowest alpha
}

TEST_F(DemoE2e, ManagedWindowReportsAResizeOnceAndQuitsOnTheCloseRequest) {
    cXDriver x;
    auto demo = Start();
    const cWindowInfo managed = SwitchToManagedWindow(*demo, x);
    ASSERT_NE(managed.id, 0u) << demo->Output();
    ExpectIdentity(x.Identity(managed.id), demo->Pid());
    EXPECT_EQ(demo->Count("Resize event"), 0u) << demo->Output();

    x.Resize(managed.id, 640, 480);
    ASSERT_TRUE(WaitForNextFps(*demo));
    EXPECT_EQ(demo->Count("Resize event"), 1u) << demo->Output();
    // The same size again, and a move: configure events without a new size.
    x.Resize(managed.id, 640, 480);
    x.Move(managed.id, 20, 10);
    ASSERT_TRUE(WaitForNextFps(*demo));
    EXPECT_EQ(demo->Count("Resize event"), 1u) << demo->Output();

    x.RequestClose(managed.id);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    EXPECT_EQ(demo->Count("Exiting sanely..."), 1u);
    ExpectOrderlyShutdown(*demo);
}

// Which Data/ the demo reads: the working directory's only when it holds
// the module and no other user can change it, else the one installed beside
// the program (prefix/games holds a copy). The working directory's module
// does not play: a demo that reads it ends with status 1.
TEST_F(DemoE2e, DataIsReadFromTheWorkingDirectoryOnlyWhenItHoldsTheModuleAndNoOtherUserCanChangeIt) {
    const std::string work = dir + "/work", prefix = dir + "/prefix", installed = prefix + "/share/games/vindelkrok";
    const std::string passed = "vindelkrok: " + work + "/Data not used: other users may ";
    const struct {
        bool module, otherOwner;  // work/Data/damp.xm there; work/Data owned by nobody
        mode_t workMode, dataMode;
        bool installed;
        int status;  // 0: drew from the installed data
        std::string notice;
    } cases[] = {
        {false, false, 0755, 0755, true, 0, ""},                // an empty Data/
        {true, true, 01777, 0755, true, 0, passed + "write to it"},  // another user's in a /tmp
        {true, false, 0755, 0777, true, 0, passed + "write to it"},  // a world-writable one
        {true, false, 0777, 0755, true, 0, passed + "replace it"},   // where anyone may write
        {true, false, 01777, 0755, true, 1, ""},                // the user's own in a /tmp
        {true, false, 0775, 0775, true, 1, ""},  // writable by the user's private group (umask 002)
        {false, false, 0755, 0755, false, 1, "vindelkrok: no Data/damp.xm in " + work + " and " + installed},
    };
    umask(022);
    std::filesystem::create_directories(prefix + "/games");
    std::filesystem::copy_file(DemoProgram(), prefix + "/games/vindelkrok");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice + " " + std::to_string(c.workMode) + " " + std::to_string(c.dataMode));
        if (c.otherOwner && geteuid() != 0) continue;
        std::filesystem::remove_all(work);
        std::filesystem::remove_all(installed);
        std::filesystem::create_directories(work + "/Data");
        if (c.module) std::ofstream(work + "/Data/damp.xm") << "not a module";
        EXPECT_EQ(chown((work + "/Data").c_str(), c.otherOwner ? 65534 : geteuid(), -1), 0);
        chmod((work + "/Data").c_str(), c.dataMode);
        chmod(work.c_str(), c.workMode);
        if (c.installed) std::filesystem::create_directories(installed + "/Data");
        EXPECT_TRUE(!c.installed || WriteTestModule(installed + "/Data/damp.xm"));
        cDemoProcess demo(prefix + "/games/vindelkrok", work, {"SDL_AUDIODRIVER=dummy"}, true, {"--windowed"}, true);
        if (c.status == 0 && demo.WaitForLine("fps: ", 10, true)) demo.Signal(SIGKILL);
        EXPECT_EQ(demo.WaitForExit(8), c.status == 0 ? 128 + SIGKILL : c.status) << demo.Output();
        EXPECT_EQ(demo.Count("vindelkrok: ", true), c.notice.empty() ? 0u : 1u) << demo.Output();
        EXPECT_EQ(demo.Count(c.notice.empty() ? "-" : c.notice), c.notice.empty() ? 0u : 1u) << demo.Output();
    }
}

TEST_F(DemoE2e, SigtermEndsThroughTheOrderlyShutdown) {
    auto demo = Start();
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    demo->Signal(SIGTERM);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    ExpectOrderlyShutdown(*demo);
}

TEST_F(DemoE2e, MissingModuleEndsWithTheLibrarysErrorText) {
    auto demo = Start(false);
    EXPECT_EQ(demo->WaitForExit(8), 1) << demo->Output();
    EXPECT_EQ(demo->Count("File not found"), 1u) << demo->Output();
    EXPECT_EQ(demo->Count("stopping song"), 0u);
}

TEST_F(DemoE2e, NoDisplayEndsWithOneLineNamingTheDisplayVariable) {
    auto demo = Start(true, false);
    EXPECT_EQ(demo->WaitForExit(8), 1) << demo->Output();
    const auto lines = RunLines(*demo);
    ASSERT_EQ(lines.size(), 1u) << demo->Output();
    EXPECT_NE(lines[0].text.find("DISPLAY"), std::string::npos) << demo->Output();
    // Started with standard output closed, it ends the same way.
    const std::string closed = "cd '" + dir + "' && env -u DISPLAY timeout 8 '" + DemoProgram() + "' >&- 2>/dev/null";
    const int status = std::system(closed.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
}

// --silent plays on the layer's silent output: with no audio driver chosen
// in the environment (and no sound card in CI) the song runs, the frames are
// counted, and the end is orderly. --windowed starts in a managed window.
TEST_F(DemoE2e, SilentWindowedRunNeedsNoSoundDevice) {
    cXDriver x;
    ASSERT_TRUE(x.ok());
    auto demo = StartWith({"--silent", "--windowed"}, {"SDL_AUDIODRIVER"});
    ASSERT_TRUE(demo->WaitForLine("fps: ", 10, true)) << demo->Output();
    ASSERT_TRUE(WaitForNextFps(*demo)) << demo->Output();
    const cWindowInfo window = x.WaitForMappedWindow(1);
    ASSERT_NE(window.id, 0u);
    EXPECT_FALSE(window.overrideRedirect);
    EXPECT_EQ(window.width, 800);
    EXPECT_GT(SongTimeOf(*demo), 0.5);
    demo->Signal(SIGTERM);
    EXPECT_EQ(demo->WaitForExit(8), 0) << demo->Output();
    ExpectOrderlyShutdown(*demo);
}

// Without a usable sound output the design's error line comes first, then
// one line that names --silent.
TEST_F(DemoE2e, NoSoundOutputPointsToSilent) {
    auto demo = StartWith({}, {"SDL_AUDIODRIVER=no-such-driver"});
    EXPECT_EQ(demo->WaitForExit(8), 1) << demo->Output();
    const auto lines = RunLines(*demo);
    ASSERT_GE(lines.size(), 2u) << demo->Output();
    EXPECT_EQ(lines[lines.size() - 2].text, "Error initializing output device.") << demo->Output();
    EXPECT_NE(lines.back().text.find("--silent"), std::string::npos) << demo->Output();
}

// --help and --version print themselves and nothing of the log (not the
// chunk handlers' registrations, not the images' goodbyes); an unknown
// option prints nothing on standard output and ends with status 2.
TEST_F(DemoE2e, HelpVersionAndUnknownOptionsPrintNoLog) {
    auto help = StartWith({"--help"}, {});
    EXPECT_EQ(help->WaitForExit(8), 0);
    ASSERT_FALSE(help->Lines().empty());
    EXPECT_EQ(help->Lines()[0].text, "Usage: vindelkrok [OPTION]...") << help->Output();
    EXPECT_EQ(help->Count("Registering hander", true) + help->Count("nu d\xF6r jag"), 0u) << help->Output();

    auto version = StartWith({"--version"}, {});
    EXPECT_EQ(version->WaitForExit(8), 0);
    ASSERT_EQ(version->Lines().size(), 1u) << version->Output();
    EXPECT_EQ(version->Lines()[0].text.rfind("vindelkrok ", 0), 0u);

    auto wrong = StartWith({"--fullscreen"}, {});
    EXPECT_EQ(wrong->WaitForExit(8), 2);
    EXPECT_EQ(wrong->Output(), "");
}

// Runs on a server without GLX (VK_XVFB_ARGS="-extension GLX").
using DemoWithoutGlx = cDemoTest;

TEST_F(DemoWithoutGlx, EndsWithOneLineNamingTheMissingVisual) {
    cXDriver x;
    ASSERT_TRUE(x.ok());
    ASSERT_FALSE(x.HasExtension("GLX")) << "this test needs a server without GLX";
    auto demo = Start();
    EXPECT_EQ(demo->WaitForExit(8), 1) << demo->Output();
    EXPECT_TRUE(InOrder(demo->Lines(), {"Only Singlebuffered Visual!",
                                        "No RGBA visual with a 16-bit depth buffer: the X server offers no "
                                        "suitable GLX visual"}))
        << demo->Output();
    EXPECT_EQ(demo->Count("stopping song"), 0u);
}

}  // namespace
}  // namespace e2e
