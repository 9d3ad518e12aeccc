// The scenes made of the effects without pictures, rendered with Mesa's
// software GL through the real DrawFrame and compared with reference frames:
// composition 1 (fogged tunnel), 2 (tunnel and road), 3 (tunnel, road and
// gears) and 5 (tunnel and cube rings).
//
// Every frame is drawn at song time 50.3 with the last beat 0.42 s before
// it (late enough that the beat flash is over, early enough that the gears
// are still close) and beat count 5. Compositions 2 and 3 inherit blending,
// lighting and texturing from the frame before them, so each is preceded by
// a frame of the composition the song plays before it.
//
// Tolerance: a channel may differ by up to 4 levels, and up to 0.1 % of the
// pixels (480) may differ by more. llvmpipe draws these frames bit for bit
// the same from run to run, with 1 to 4 threads and with 128-bit vectors
// instead of the native width; the slack is for another CPU's rounding at
// line edges. A fog density of 1.5 instead of 1.75, a tooth 0.02 longer or a
// line width of 5 instead of 6 already fail.
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

constexpr double kSongTime = 50.3;
constexpr double kBeatTime = kSongTime - 0.42;
constexpr int kBeatCount = 5;
constexpr int kTolerance = 4;
constexpr int kMaxDiffering = 800 * 600 / 1000;

// Music orders that select each composition.
constexpr int kOrderComposition1 = 2;
constexpr int kOrderComposition2 = 3;
constexpr int kOrderComposition3 = 4;
constexpr int kOrderComposition5 = 10;

struct cScene : ::testing::Test {
    pixeltest::cTestContext gl;

    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        pixeltest::SetUpDemoGL();
    }
    // Renders the frame of `order` (after one of `before`, if given) and reads it back.
    pixeltest::cFrame Render(int order, int before = 0) {
        if (before) pixeltest::RenderFrameAt(kSongTime - 1.0 / 60, kBeatTime, kBeatCount, before);
        pixeltest::RenderFrameAt(kSongTime, kBeatTime, kBeatCount, order);
        return gl.ReadBack();
    }
};

std::array<int, 3> At(const pixeltest::cFrame& frame, int x, int y) {
    const uint8_t* p = &frame.rgb[(size_t(y) * frame.width + x) * 3];
    return {p[0], p[1], p[2]};
}

// Share of the frame's pixels for which keep(r, g, b) holds.
template <class F>
double Share(const pixeltest::cFrame& frame, F keep) {
    size_t n = 0;
    for (size_t i = 0; i + 2 < frame.rgb.size(); i += 3) n += keep(frame.rgb[i], frame.rgb[i + 1], frame.rgb[i + 2]);
    return double(n) / double(frame.width * frame.height);
}

// Black or a shade of pure blue, as the tunnel and the road's floor are.
bool BlueOrBlack(int r, int g, int) { return r <= 2 && g <= 2; }
// Fogged white: the bars and dashes, grey with equal channels.
bool Grey(int r, int g, int b) { return r > 60 && std::abs(r - g) <= 2 && std::abs(r - b) <= 2; }
// Unfogged white: the gear lines.
bool White(int r, int g, int b) { return r > 200 && g > 200 && b > 200; }
// True when the pixel is of the kind.
bool Is(bool (*kind)(int, int, int), const std::array<int, 3>& pixel) { return kind(pixel[0], pixel[1], pixel[2]); }
// Blue with a tint of red and green: the rings' outlines add (0.1, 0.1, 1).
bool Outline(int r, int g, int b) { return r > 2 && r == g && b > 100; }

TEST_F(cScene, Composition1IsABlueRipplingTunnelFadingIntoBlackFog) {
    const pixeltest::cFrame frame = Render(kOrderComposition1);
    // Nothing but blue and the fog's black.
    EXPECT_EQ(Share(frame, BlueOrBlack), 1.0);
    // The far end of the tube, at the centre, is swallowed by the fog; the
    // near wall at the edges is bright.
    EXPECT_EQ(At(frame, 400, 300), (std::array<int, 3>{0, 0, 0}));
    EXPECT_GT(At(frame, 5, 300)[2], 100);
    EXPECT_GT(At(frame, 795, 300)[2], 100);
    EXPECT_EQ(pixeltest::MatchReference("scene_composition1", frame, kTolerance, kMaxDiffering), "");
}

TEST_F(cScene, Composition2IsABlueRoadUnderAnArchOfBars) {
    const pixeltest::cFrame frame = Render(kOrderComposition2, kOrderComposition1);
    // Road floor left of the centre line, and the nearest dash on it.
    const std::array<int, 3> floor = At(frame, 250, 560);
    EXPECT_TRUE(BlueOrBlack(floor[0], floor[1], floor[2]) && floor[2] > 40);
    EXPECT_TRUE(Is(Grey, At(frame, 400, 500)));
    // The arch's bars cover a good part of the upper frame.
    EXPECT_GT(Share(frame, Grey), 0.15);
    EXPECT_EQ(Share(frame, White), 0.0);
    EXPECT_EQ(pixeltest::MatchReference("scene_composition2", frame, kTolerance, kMaxDiffering), "");
}

TEST_F(cScene, Composition3AddsWhiteWireGearsOverTheRoad) {
    const pixeltest::cFrame frame = Render(kOrderComposition3, kOrderComposition2);
    // The large wheel's spokes meet at the centre of the view, unfogged.
    EXPECT_TRUE(Is(White, At(frame, 400, 300)));
    EXPECT_GT(Share(frame, White), 0.01);
    EXPECT_GT(Share(frame, Grey), 0.15);
    EXPECT_EQ(pixeltest::MatchReference("scene_composition3", frame, kTolerance, kMaxDiffering), "");
}

TEST_F(cScene, Composition5AddsRingsOfTranslucentCubes) {
    const pixeltest::cFrame frame = Render(kOrderComposition5);
    // The rings' outlines around the tunnel's dark far end.
    EXPECT_EQ(At(frame, 400, 300), (std::array<int, 3>{0, 0, 0}));
    EXPECT_GT(Share(frame, Outline), 0.1);
    EXPECT_EQ(pixeltest::MatchReference("scene_composition5", frame, kTolerance, kMaxDiffering), "");
}

}  // namespace
