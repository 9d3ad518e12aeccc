// The model in composition 6 (music order 14), drawn through the real
// DrawFrame under Xvfb: a small two-object test model, loaded by start-up's
// PrepareEffects, shows as a half-transparent blue shape. The frame is
// compared with the same frame before the model was loaded, so the check is
// the model's own contribution: its silhouette (against a reference) and
// its colour (blue added, red and green untouched), whatever the other
// effects of the composition draw around it.
#include <gtest/gtest.h>

#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"
#include "timeline/scene_effects.h"
#include "tools/model3ds_writer.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A box 400 units wide with a pyramid roof, two objects: about two units
// once the scene has scaled it.
cModel3ds House() {
    cMesh3ds box;
    box.name = "box";
    for (int i = 0; i < 8; ++i)
        box.vertices.push_back({{i & 1 ? 200.0f : -200.0f, i & 2 ? 200.0f : -200.0f, i & 4 ? 200.0f : -200.0f}});
    box.faces = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                 {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
    cMesh3ds roof;
    roof.name = "roof";
    roof.vertices = {{{-250, -250, 200}}, {{250, -250, 200}}, {{250, 250, 200}}, {{-250, 250, 200}}, {{0, 0, 450}}};
    roof.faces = {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}};
    cModel3ds model;
    model.meshes = {box, roof};
    return model;
}

// Where the two frames differ: white, elsewhere black.
pixeltest::cFrame Silhouette(const pixeltest::cFrame& with, const pixeltest::cFrame& without) {
    pixeltest::cFrame mask = with;
    for (size_t i = 0; i < with.rgb.size(); i += 3) {
        bool changed = false;
        for (size_t c = 0; c < 3; ++c) changed |= with.rgb[i + c] != without.rgb[i + c];
        for (size_t c = 0; c < 3; ++c) mask.rgb[i + c] = changed ? 255 : 0;
    }
    return mask;
}

TEST(ModelScenePixels, Composition6ShowsTheModelAsHalfTransparentBlue) {
    pixeltest::cTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
    pixeltest::SetUpDemoGL();

    // 0.5 s after a beat: the model has receded 2.5 units and the beat's
    // flash is over.
    const double beat = 3.0, t = 3.5;
    pixeltest::RenderFrameAt(t, beat, 0, 14);
    const pixeltest::cFrame without = gl.ReadBack();

    // Start-up reads the model from Data/ under the working directory.
    char scratch[] = "/tmp/vk-model-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string data = std::string(scratch) + "/Data";
    ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
    ASSERT_TRUE(Save3ds(data + "/rongert2.3DS", House()));
    char* home = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(scratch), 0);
    testing::internal::CaptureStdout();
    PrepareEffects();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(chdir(home), 0);
    std::free(home);
    std::system((std::string("rm -rf ") + scratch).c_str());

    pixeltest::RenderFrameAt(t, beat, 0, 14);
    const pixeltest::cFrame with = gl.ReadBack();
    mkdir("pixel-out", 0755);
    pixeltest::WritePng("pixel-out/model3ds_composition6_frame.png", with);  // for looking at

    int covered = 0, wrongColour = 0;
    for (size_t i = 0; i < with.rgb.size(); i += 3) {
        if (with.rgb[i + 2] == without.rgb[i + 2]) continue;
        ++covered;
        // Blue at alpha 0.5 added to what was there (destination alpha 1).
        const bool onlyBlue = with.rgb[i] == without.rgb[i] && with.rgb[i + 1] == without.rgb[i + 1];
        const bool halfOrFull = std::abs(with.rgb[i + 2] - without.rgb[i + 2] - 128) <= 2 || with.rgb[i + 2] == 255;
        wrongColour += !(onlyBlue && halfOrFull);
    }
    EXPECT_GT(covered, 20000) << "the model hardly shows";
    EXPECT_LT(covered, 200000) << "the model covers most of the frame";
    EXPECT_EQ(wrongColour, 0);
    EXPECT_EQ(pixeltest::MatchReference("model3ds_composition6", Silhouette(with, without), 0, 50), "");
}

}  // namespace
