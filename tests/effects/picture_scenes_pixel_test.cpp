// The picture effects on real GL (Mesa's software renderer under Xvfb),
// drawn through the real DrawFrame: the intro at song time 2.0 and
// composition 4 with the beat picture overlay, then both again in a new GL
// context after the textures were made again from memory (the full-screen
// toggle). The pictures are made by the test in a scratch Data/ folder; the
// frames are compared with references under tests/reference/ and checked
// where the picture must be.
#include "base/gl_recreation.h"
#include "tests/support/bmp_test_file.h"
#include "tests/support/scene_data.h"
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"
#include "timeline/scene_effects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace bmptest;

namespace {

class PictureScenes : public ::testing::Test {
protected:
    void SetUp() override {
        folder = MakeScratchDirectory();
        std::filesystem::create_directory(folder + "/Data");
        scenedata::WritePictures(folder + "/Data");
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        RemoveDirectory(folder);
    }

    std::string folder;
    std::filesystem::path previous;
};

// Channel values of the frame at (x, y), y counted from the top.
const uint8_t* At(const pixeltest::cFrame& frame, int x, int y) {
    return &frame.rgb[(size_t(y) * frame.width + x) * 3];
}

}  // namespace

// One test program, one GL window: the effects are process-wide objects and
// are prepared once, as the demo does.
TEST_F(PictureScenes, IntroAtTwoSecondsAndCompositionFour) {
    auto first = std::make_unique<pixeltest::cTestContext>();
    pixeltest::cTestContext& gl = *first;
    ASSERT_TRUE(gl.ok()) << gl.error();
    pixeltest::SetUpDemoGL();
    ::testing::internal::CaptureStdout();
    PrepareEffects();
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("loading Data/mekkmap2.bmp ok"), std::string::npos) << log;

    // The intro from the song's start at a steady 60 frames a second: the
    // light's attenuation runs down frame by frame, so the frame at 2.0 s
    // depends on the frames before it.
    for (int frame = 0; frame <= 120; ++frame) pixeltest::RenderFrameAt(frame / 60.0, 0.0, 0, 0);
    const pixeltest::cFrame intro = gl.ReadBack();
    EXPECT_EQ(pixeltest::MatchReference("intro_at_2s", intro, 8, 400), "");
    // The strip spans the width and the middle half of the height, the
    // picture upright: red top left, yellow bottom right, black above it.
    EXPECT_GT(At(intro, 200, 220)[0], 200);
    EXPECT_LT(At(intro, 200, 220)[1], 60);
    EXPECT_GT(At(intro, 600, 380)[0], 200);
    EXPECT_GT(At(intro, 600, 380)[1], 200);
    EXPECT_GT(At(intro, 200, 380)[2], 200);
    EXPECT_EQ(At(intro, 400, 40)[0] + At(intro, 400, 40)[1] + At(intro, 400, 40)[2], 0);

    // Order 6 is composition 4: the bulging tunnel under the overlay of
    // pair 2 (beat count 2 is even).
    pixeltest::RenderFrameAt(30.0, 10.0, 2, 6);
    const pixeltest::cFrame overlay = gl.ReadBack();
    EXPECT_EQ(pixeltest::MatchReference("composition4_overlay", overlay, 8, 400), "");
    // Outside the window only the picture's bands remain (orange: red high,
    // blue none); pair 1's green never shows.
    const uint8_t* corner = At(overlay, 20, 20);
    EXPECT_GT(corner[0], 100);
    EXPECT_EQ(corner[2], 0);
    EXPECT_LT(corner[1], corner[0]);
    // Inside the window the blue tunnel shows through.
    const uint8_t* window = At(overlay, 300, 300);
    EXPECT_GT(window[2], 100);
    EXPECT_LT(window[0], 60);

    // Full screen toggled: a new, unshared context has none of the textures.
    // Made again from the pictures in memory (the files are gone), the
    // overlay looks as before and the intro shows its picture again.
    first.reset();
    std::filesystem::remove_all("Data");
    pixeltest::cTestContext fresh;
    ASSERT_TRUE(fresh.ok()) << fresh.error();
    pixeltest::SetUpDemoGL();
    ::testing::internal::CaptureStdout();
    RecreateGlObjects();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    pixeltest::RenderFrameAt(2.0, 0.0, 2, 0);
    const pixeltest::cFrame again = fresh.ReadBack();
    // The new context keeps its default attenuation (the intro's is negative
    // by now, which GL refuses), so the picture is dimmer, but it is there:
    // red top left, not an untextured grey strip.
    EXPECT_GT(At(again, 200, 220)[0], 30);
    EXPECT_LT(At(again, 200, 220)[1], 10);
    EXPECT_GT(At(again, 600, 220)[1], 30);
    EXPECT_LT(At(again, 600, 220)[0], 10);
    // The overlay sets linear magnification on whatever texture is bound
    // when it starts (the intro's, after an intro frame, as above), so the
    // same history gives the same frame.
    pixeltest::RenderFrameAt(30.0, 10.0, 2, 6);
    EXPECT_EQ(pixeltest::MatchReference("composition4_overlay", fresh.ReadBack(), 8, 400), "");
}
