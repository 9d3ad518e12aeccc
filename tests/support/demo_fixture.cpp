// Working directory, module and process start for end-to-end tests.
#include "tests/support/demo_fixture.h"

#include "tests/support/scratch_directory.h"

#include <X11/keysym.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace e2e {

std::string DemoProgram() { return VK_DEMO_PROGRAM; }

void cDemoTest::SetUp() {
    dir = MakeScratchDirectory();
}

void cDemoTest::TearDown() {
    RemoveDirectory(dir);
}

std::unique_ptr<cDemoProcess> cDemoTest::Start(bool withModule, bool keepDisplay) {
    if (withModule) {
        mkdir((dir + "/Data").c_str(), 0755);
        EXPECT_TRUE(WriteTestModule(dir + "/Data/damp.xm"));
    }
    // The sound layer plays into SDL's dummy output: no sound card needed.
    return std::make_unique<cDemoProcess>(DemoProgram(), dir, std::vector<std::string>{"SDL_AUDIODRIVER=dummy"},
                                          keepDisplay);
}

std::unique_ptr<cDemoProcess> cDemoTest::StartWith(const std::vector<std::string>& args,
                                                   const std::vector<std::string>& env, bool withErrors) {
    mkdir((dir + "/Data").c_str(), 0755);
    EXPECT_TRUE(WriteTestModule(dir + "/Data/damp.xm"));
    return std::make_unique<cDemoProcess>(DemoProgram(), dir, env, true, args, withErrors);
}

bool cDemoTest::WaitForNextFps(cDemoProcess& demo, double timeout) {
    return demo.WaitForLine("fps: ", timeout, true, demo.Lines().size());
}

cWindowInfo cDemoTest::SwitchToManagedWindow(cDemoProcess& demo, cXDriver& x) {
    if (!demo.WaitForLine("fps: ", 10, true) || x.WaitForMappedWindow(1).id == 0) return {};
    x.Key(XK_F1);
    const cWindowInfo managed = x.WaitForMappedWindow(3);
    if (managed.id == 0 || !WaitForNextFps(demo)) return {};
    return managed;
}

bool InOrder(const std::vector<cLine>& lines, const std::vector<std::string>& expected) {
    size_t next = 0;
    for (const cLine& line : lines)
        if (next < expected.size() && line.text == expected[next]) ++next;
    return next == expected.size();
}

}  // namespace e2e
