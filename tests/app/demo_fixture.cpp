// Working directory, module and process start for end-to-end tests.
#include "tests/app/demo_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace e2e {

std::string DemoProgram() { return VK_DEMO_PROGRAM; }

void cDemoTest::SetUp() {
    char pattern[] = "/tmp/vk-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
}

void cDemoTest::TearDown() {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
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
                                                   const std::vector<std::string>& env) {
    mkdir((dir + "/Data").c_str(), 0755);
    EXPECT_TRUE(WriteTestModule(dir + "/Data/damp.xm"));
    return std::make_unique<cDemoProcess>(DemoProgram(), dir, env, true, args);
}

bool cDemoTest::WaitForNextFps(cDemoProcess& demo, double timeout) {
    return demo.WaitForLine("fps: ", timeout, true, demo.Lines().size());
}

bool InOrder(const std::vector<cLine>& lines, const std::vector<std::string>& expected) {
    size_t next = 0;
    for (const cLine& line : lines)
        if (next < expected.size() && line.text == expected[next]) ++next;
    return next == expected.size();
}

}  // namespace e2e
