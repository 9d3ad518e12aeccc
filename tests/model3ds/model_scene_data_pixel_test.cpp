// The generated model in compositions 6 and 7, drawn through the real
// DrawFrame under Xvfb with the build's Data/ (the test runs in the build
// directory). Each frame is drawn once before the model is loaded and once
// after, at a beat of the music and 0.2 s after it (by then the model has
// receded from depth 1 to 2 in composition 7, from 2 to 3 in composition 6).
// The model must be plainly there: a large share of the frame made bluer by
// a wide margin, as a flat, half-transparent blue shape, and nothing else
// changed. Drawn in the dense black fog the tunnel leaves on, the model
// barely changed a pixel in composition 6.
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"
#include "timeline/scene_effects.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

// Blue raised by more than this counts as model.
constexpr int kWideMargin = 60;

struct cShot {
    const char* name;
    int order;
    double beat;  // a beat of the generated music in that order
    double after;  // song time minus beat time
    int minimumPixels;  // of 480,000
};

struct cChange {
    int bluer = 0;  // blue raised by more than the margin
    int other = 0;  // red or green changed, or blue lowered
};

cChange Compare(const pixeltest::cFrame& without, const pixeltest::cFrame& with) {
    cChange change;
    for (size_t i = 0; i < with.rgb.size(); i += 3) {
        change.bluer += with.rgb[i + 2] - without.rgb[i + 2] > kWideMargin;
        change.other += with.rgb[i] != without.rgb[i] || with.rgb[i + 1] != without.rgb[i + 1] ||
                        with.rgb[i + 2] < without.rgb[i + 2];
    }
    return change;
}

}  // namespace

TEST(ModelSceneWithData, ShowsPlainlyInCompositionsSixAndSevenAtABeatAndAfter) {
    pixeltest::cTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
    pixeltest::SetUpDemoGL();
    // Composition 6 places the model one unit further back than composition
    // 7. The model (a gear with rings) makes about 46,000 / 19,000 pixels
    // bluer by the margin in composition 6 and 150,000 / 46,000 in
    // composition 7; fogged it made 3 / 0 and 47,600 / 1.
    const cShot shots[] = {
        {"model_comp6_at_beat", 14, 72.0, 0.0, 30000},
        {"model_comp6_beat_plus_0.2s", 14, 72.0, 0.2, 12000},
        {"model_comp7_at_beat", 16, 88.8, 0.0, 100000},
        {"model_comp7_beat_plus_0.2s", 16, 88.8, 0.2, 30000},
    };
    std::vector<pixeltest::cFrame> without;
    for (const cShot& shot : shots) {
        pixeltest::RenderFrameAt(shot.beat + shot.after, shot.beat, 0, shot.order);
        without.push_back(gl.ReadBack());
    }

    struct stat data {};
    ASSERT_EQ(stat("Data/rongert2.3DS", &data), 0) << "run in the build directory, next to Data/";
    testing::internal::CaptureStdout();
    PrepareEffects();
    testing::internal::GetCapturedStdout();

    mkdir("pixel-out", 0755);
    for (size_t i = 0; i < std::size(shots); ++i) {
        const cShot& shot = shots[i];
        pixeltest::RenderFrameAt(shot.beat + shot.after, shot.beat, 0, shot.order);
        const pixeltest::cFrame with = gl.ReadBack();
        pixeltest::WritePng(std::string("pixel-out/") + shot.name + ".png", with);
        const cChange change = Compare(without[i], with);
        EXPECT_GT(change.bluer, shot.minimumPixels) << shot.name << ": the model hardly shows";
        EXPECT_EQ(change.other, 0) << shot.name << ": the model may only add blue";
    }
}
