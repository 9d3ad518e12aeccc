// Shared set-up of the end-to-end tests: a working directory holding
// Data/damp.xm (a small test module), the demo started in it with the sound
// layer's dummy audio output, and checks of its log.
#pragma once

#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/demo_process.h"
#include "tests/support/x_driver.h"

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Writes the test module to path; false on failure.
bool WriteTestModule(const std::string& path);

class cDemoTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the demo in the working directory (without Data/damp.xm when
    // withModule is false; without DISPLAY when keepDisplay is false).
    std::unique_ptr<cDemoProcess> Start(bool withModule = true, bool keepDisplay = true);
    // Starts the demo with Data/damp.xm, the arguments and the environment
    // entries given (see cDemoProcess) instead of the dummy audio output;
    // withErrors reads its standard error among the lines.
    std::unique_ptr<cDemoProcess> StartWith(const std::vector<std::string>& args, const std::vector<std::string>& env,
                                            bool withErrors = false);
    // Waits for the next "fps: " line after the lines read so far: the main
    // loop has run (and everything printed before it has been flushed).
    static bool WaitForNextFps(cDemoProcess& demo, double timeout = 4.0);
    // Waits for the first frames in the full-screen window, presses F1 and
    // waits for the managed window and a frame drawn in it: that window, or
    // one with id 0 when a step timed out.
    static cWindowInfo SwitchToManagedWindow(cDemoProcess& demo, cXDriver& x);

    std::string dir;
};

// True when the lines hold `expected` in this order (other lines may lie
// between them).
bool InOrder(const std::vector<cLine>& lines, const std::vector<std::string>& expected);

// The program under test.
std::string DemoProgram();

}  // namespace e2e
