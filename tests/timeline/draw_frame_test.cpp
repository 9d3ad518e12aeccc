// DrawFrame picks the scene from the music order (read afresh for every
// comparison) or, late in the song, from the beat count, and presents it.
#include "timeline/draw_frame.h"

#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "app/display_window.h"
#include "base/beat.h"
#include "tests/support/fake_gl.h"
#include "tests/support/sound_double.h"
#include "tests/support/timeline_calls.h"
#include "timeline/present.h"

#include <GL/gl.h>

#include <cmath>

using namespace timelinetest;

namespace {

class DrawFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::Reset();
        sounddouble::Reset();
        gSong = sounddouble::Song();
        SetPresenter(SwapWindowBuffers);  // the demo's presenter
        // Far from every flash: song time 10, last beat at 0.
        SetTimes(10.0, 0.0, 0);
    }
    void TearDown() override { gSong = nullptr; }
};

// The calls every frame begins with, and the swap it ends with.
const cLines kFrameStart = {Line("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}), Line("glLoadIdentity"),
                            Line("glTranslatef", {0, 0, -3})};
const cLines kSwap = {Line("glXSwapBuffers", {7})};

// What the scene table draws for an order at song time t and a beat count.
cLines SceneFor(int order, double t, int beatCount) {
    if (order <= 0) return {Line("Intro", {t})};
    if (order == 1) return {};
    if (order == 2) return Composition(1, t);
    if (order == 3) return Composition(2, t);
    if (order <= 5) return Composition(3, t);
    if (order <= 9) return Composition(4, t);
    if (order <= 13) return Composition(5, t);
    if (order <= 15) return Composition(6, t);
    if (order <= 17) return Composition(7, t);
    const int r = beatCount % 7;
    return Composition(r == 0 ? 7 : r, t) + cLines{Line("Overlay")};
}

TEST_F(DrawFrameTest, DrawsTheSceneOfEveryOrderFromMinusOneTo25) {
    for (int order = -1; order <= 25; ++order) {
        fakegl::Reset();
        sounddouble::Reset();
        sounddouble::SetOrder(order);
        EXPECT_EQ(DrawFrame(), 1);
        EXPECT_EQ(RecordedLines(), kFrameStart + SceneFor(order, 10.0, 0) + kSwap) << "order " << order;
        // One read for each one-sided test; a range reads its lower bound
        // only when its upper bound holds: 14 reads at most, 9 at least.
        int reads = 4;
        for (int high : {5, 9, 13, 15, 17}) reads += order <= high ? 2 : 1;
        EXPECT_EQ(sounddouble::GetOrderCalls(), reads) << "order " << order;
    }
}

TEST_F(DrawFrameTest, OrderOneLeavesTheFrameCleared) {
    sounddouble::SetOrder(1);
    DrawFrame();
    EXPECT_EQ(RecordedLines(), kFrameStart + kSwap);
}

TEST_F(DrawFrameTest, OrderChangingBetweenReadsDrawsBothScenesInTableOrder) {
    // Reads 1-3 and both reads of the 4-5 range see 5, then the module moves
    // on to 6: the frame holds composition 3 and then composition 4.
    sounddouble::SetOrder(6);
    sounddouble::ScriptOrders({5, 5, 5, 5, 5});
    DrawFrame();
    EXPECT_EQ(RecordedLines(), kFrameStart + Composition(3, 10.0) + Composition(4, 10.0) + kSwap);

    // The intro on the first read, composition 1 on the second.
    fakegl::Reset();
    sounddouble::Reset();
    sounddouble::SetOrder(2);
    sounddouble::ScriptOrders({0});
    DrawFrame();
    EXPECT_EQ(RecordedLines(), kFrameStart + cLines{Line("Intro", {10.0})} + Composition(1, 10.0) + kSwap);
}

TEST_F(DrawFrameTest, OrderLeavingARangeBetweenItsTwoReadsDrawsNeither) {
    // 9 passes the upper bound of 6-9, then 3 fails its lower bound; every
    // later read sees 3, which only the test for 3 (already past) matches.
    sounddouble::SetOrder(3);
    sounddouble::ScriptOrders({9, 9, 9, 9, 9});
    DrawFrame();
    EXPECT_EQ(RecordedLines(), kFrameStart + kSwap);
}

TEST_F(DrawFrameTest, BeatCycleStepsThroughTheCompositionsWithTheOverlayOnTop) {
    const struct {
        int beatCount;
        int composition;
    } cases[] = {{18, 4}, {20, 6}, {21, 7}, {22, 1}, {0, 7}, {7, 7}, {1, 1}, {16, 2}, {17, 3}, {19, 5}};
    for (const auto& c : cases) {
        fakegl::Reset();
        sounddouble::SetOrder(18);
        SetTimes(10.0, 0.0, c.beatCount);
        DrawFrame();
        EXPECT_EQ(RecordedLines(), kFrameStart + Composition(c.composition, 10.0) + cLines{Line("Overlay")} + kSwap)
            << "beat count " << c.beatCount;
    }
}

TEST_F(DrawFrameTest, FixedFlashIsFullWhiteAt24Seconds) {
    sounddouble::SetOrder(1);
    SetTimes(24.0, 0.0, 0);
    DrawFrame();
    const float full = float(std::sin(0.5 * 3.1415));
    EXPECT_EQ(RecordedLines(), kFrameStart + Flash(full) + kSwap);
    EXPECT_GT(full, 0.999999f);

    // It has faded out completely half a second either side.
    for (double t : {23.5, 24.5}) {
        fakegl::Reset();
        SetTimes(t, 0.0, 0);
        DrawFrame();
        EXPECT_EQ(RecordedLines(), kFrameStart + kSwap) << "song time " << t;
    }
}

TEST_F(DrawFrameTest, PresentsThroughTheInstalledPresenterOrSwapsTheCurrentDrawable) {
    static int presented;
    presented = 0;
    SetPresenter([] { ++presented; });
    sounddouble::SetOrder(1);
    DrawFrame();
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(fakegl::Count("glXSwapBuffers"), 0u);

    // Without a presenter nothing is presented.
    SetPresenter(nullptr);
    fakegl::Reset();
    DrawFrame();
    EXPECT_EQ(fakegl::Count("glXSwapBuffers"), 0u);

    // Without a current context (a window that failed to open) nothing is
    // swapped, and nothing crashes.
    SetPresenter(SwapWindowBuffers);
    fakegl::Reset();
    fakegl::SetContextCurrent(false);
    DrawFrame();
    EXPECT_EQ(fakegl::Count("glXSwapBuffers"), 0u);
}

}  // namespace
