// The model in composition 6 (music order 14), drawn through the real
// DrawFrame under Xvfb with a small two-object test model that start-up's
// PrepareEffects loads. The model is drawn after the tunnel, which leaves
// its dense black fog on; the model scene draws it unfogged, so the floor
// shows as a flat, half-transparent blue plane. The frame is compared with a
// reference, and with the same frame before the model was loaded: the model
// may only add blue.
#include <gtest/gtest.h>

#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"
#include "timeline/scene_effects.h"
#include "tests/support/scene_data.h"
#include "tests/support/scratch_directory.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(ModelScenePixels, Composition6AddsTheFoggedModelInBlueOnly) {
    pixeltest::cTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
    pixeltest::SetUpDemoGL();

    // Half a second after a beat: the model has receded 2.5 units and the
    // beat's flash is over.
    const double beat = 3.0, t = 3.5;
    pixeltest::RenderFrameAt(t, beat, 0, 14);
    const pixeltest::cFrame without = gl.ReadBack();

    // Start-up reads the model from Data/ under the working directory.
    const std::string scratch = MakeScratchDirectory();
    const std::string data = scratch + "/Data";
    ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
    ASSERT_TRUE(Save3ds(data + "/rongert2.3DS", scenedata::Floor()));
    char* home = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(scratch.c_str()), 0);
    testing::internal::CaptureStdout();
    PrepareEffects();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(chdir(home), 0);
    std::free(home);
    RemoveDirectory(scratch);

    pixeltest::RenderFrameAt(t, beat, 0, 14);
    const pixeltest::cFrame with = gl.ReadBack();

    int covered = 0, wrongColour = 0;
    for (size_t i = 0; i < with.rgb.size(); i += 3) {
        if (with.rgb[i + 2] == without.rgb[i + 2]) continue;
        ++covered;
        // Blue, weighted by its alpha and the fog, added to what was there.
        const bool onlyBlueAdded = with.rgb[i] == without.rgb[i] && with.rgb[i + 1] == without.rgb[i + 1] &&
                                   with.rgb[i + 2] > without.rgb[i + 2];
        wrongColour += !onlyBlueAdded;
    }
    EXPECT_GT(covered, 50000) << "the model hardly shows";
    EXPECT_EQ(wrongColour, 0);
    EXPECT_EQ(pixeltest::MatchReference("model3ds_composition6", with, 2, 100), "");
}

}  // namespace
