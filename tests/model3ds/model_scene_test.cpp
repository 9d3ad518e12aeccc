// The model scene with the recording fake GL: one recording at start-up,
// the same short sequence every frame placed by the song and beat times,
// and a fresh recording after the GL context has been replaced.
#include <gtest/gtest.h>

#include "base/beat.h"
#include "base/gl_recreation.h"
#include "model3ds/model_scene.h"
#include "tests/support/model_files.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <cmath>

namespace {

class ModelScene : public testing::Test {
protected:
    void SetUp() override {
        fakegl::Reset();
        ClearGlRecreations();
        gBeatTime.store(0.0);
        cModel3ds model;
        model.meshes = {modeltest::Mesh("a", 3, {{0, 1, 2}}), modeltest::Mesh("b", 4, {{0, 1, 2}, {1, 2, 3}})};
        path = modeltest::TempPath("scene.3DS");
        ASSERT_TRUE(Save3ds(path, model));
    }
    void TearDown() override {
        std::remove(path.c_str());
        ClearGlRecreations();
    }

    // Loads the test model into the scene, with the log swallowed.
    void Load(cModelScene& scene, const std::string& file) {
        testing::internal::CaptureStdout();
        LoadModelScene(scene, file.c_str());
        log = testing::internal::GetCapturedStdout();
    }

    std::string path;
    std::string log;
};

// The calls of one frame drawn at song time t with the given list name;
// entered with fog on, the fog is switched off around the replay.
std::vector<fakegl::cCall> FrameCalls(double t, double beat, unsigned list, bool fogOn = false) {
    std::vector<fakegl::cCall> calls = {
        {"glDisable", {GL_DEPTH_TEST}},
        {"glEnable", {GL_BLEND}},
        {"glBlendFunc", {GL_SRC_ALPHA, GL_DST_ALPHA}},
        {"glTranslatef", {0, 0, float((beat - t) * 5.0 - 1.0)}},
        {"glRotatef", {float(90.0 * std::sin(5.0 * t) + 30.0 * std::cos(6.0 * t)), 1.0, 0.5, float(0.2)}},
        {"glRotatef", {float(30.0 * t), 1.0, 0.5, 0.0}},
        {"glColor4f", {0, 0, 1, 0.5}},
        {"glIsEnabled", {GL_FOG}},
    };
    if (fogOn) calls.push_back({"glDisable", {GL_FOG}});
    calls.push_back({"glCallList", {double(list)}});
    if (fogOn) calls.push_back({"glEnable", {GL_FOG}});
    return calls;
}

void ExpectCalls(const std::vector<fakegl::cCall>& expected) {
    const auto& calls = fakegl::Calls();
    ASSERT_EQ(calls.size(), expected.size()) << fakegl::Trace();
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].name, expected[i].name) << "call " << i;
        EXPECT_EQ(calls[i].args, expected[i].args) << calls[i].name;
    }
}

}  // namespace

TEST_F(ModelScene, LoadingRecordsTheScaledModelOnceAndDrawsNothing) {
    cModelScene scene;
    Load(scene, path);
    const auto names = fakegl::Names();
    ASSERT_GE(names.size(), 6u);
    EXPECT_EQ(names[0], "glGenLists");
    EXPECT_EQ(fakegl::CallsNamed("glNewList").at(0).args, (std::vector<double>{double(scene.list.Id()), GL_COMPILE}));
    EXPECT_EQ(names[2], "glPushMatrix");
    EXPECT_EQ(fakegl::CallsNamed("glScalef").at(0).args, (std::vector<double>(3, double(0.005f))));
    EXPECT_EQ(fakegl::Count("glBegin"), 3u);
    EXPECT_EQ(fakegl::CallsNamed("glBegin").at(0).args, std::vector<double>{GL_TRIANGLE_FAN});
    EXPECT_EQ(names[names.size() - 2], "glPopMatrix");
    EXPECT_EQ(names.back(), "glEndList");

    fakegl::ClearCalls();
    DrawModelScene(scene, 1.0);
    DrawModelScene(scene, 2.0);
    EXPECT_EQ(fakegl::Count("glNewList"), 0u);
    EXPECT_EQ(fakegl::Count("glBegin"), 0u);
    EXPECT_EQ(fakegl::Count("glCallList"), 2u);
}

TEST_F(ModelScene, EveryFrameIsPlacedBySongTimeAndBeatTime) {
    cModelScene scene;
    Load(scene, path);
    const unsigned list = scene.list.Id();

    gBeatTime.store(3.0);
    fakegl::ClearCalls();
    DrawModelScene(scene, 3.0);
    ExpectCalls(FrameCalls(3.0, 3.0, list));
    EXPECT_EQ(fakegl::CallsNamed("glTranslatef")[0].args[2], -1.0);  // at the beat

    fakegl::ClearCalls();
    DrawModelScene(scene, 3.2);
    ExpectCalls(FrameCalls(3.2, 3.0, list));
    EXPECT_NEAR(fakegl::CallsNamed("glTranslatef")[0].args[2], -2.0, 1e-6);  // 0.2 s later

    gBeatTime.store(0.0);
    fakegl::ClearCalls();
    DrawModelScene(scene, 0.0);
    const auto rotations = fakegl::CallsNamed("glRotatef");
    EXPECT_EQ(rotations[0].args[0], 30.0);
    EXPECT_EQ(rotations[1].args[0], 0.0);
}

TEST_F(ModelScene, DrawsTheModelUnfoggedAndLeavesTheFogAsItFoundIt) {
    cModelScene scene;
    Load(scene, path);
    gBeatTime.store(3.0);
    for (bool fogOn : {true, false}) {
        if (fogOn) glEnable(GL_FOG);
        else glDisable(GL_FOG);
        fakegl::ClearCalls();
        DrawModelScene(scene, 3.1);
        ExpectCalls(FrameCalls(3.1, 3.0, scene.list.Id(), fogOn));
        EXPECT_EQ(glIsEnabled(GL_FOG), fogOn ? GL_TRUE : GL_FALSE);
    }
}

TEST_F(ModelScene, MissingModelIsLoggedAndFramesStayTheSame) {
    cModelScene scene;
    Load(scene, "no/such/model.3DS");
    EXPECT_EQ(log, "no/such/model.3DS does not exist\n");
    EXPECT_EQ(fakegl::Names(), (std::vector<std::string>{"glGenLists", "glNewList", "glPushMatrix", "glScalef",
                                                          "glPopMatrix", "glEndList"}));
    fakegl::ClearCalls();
    DrawModelScene(scene, 1.5);
    ExpectCalls(FrameCalls(1.5, 0.0, scene.list.Id()));
}

TEST_F(ModelScene, LoadingAgainAppendsTheObjectsAndReRecordsTheSameList) {
    cModelScene scene;
    Load(scene, path);
    const unsigned list = scene.list.Id();
    fakegl::ClearCalls();
    Load(scene, path);
    EXPECT_EQ(fakegl::Count("glGenLists"), 0u);
    EXPECT_EQ(fakegl::CallsNamed("glNewList").at(0).args[0], double(list));
    EXPECT_EQ(fakegl::Count("glBegin"), 6u);
    EXPECT_TRUE(scene.level.objects.containsId(4));
}

TEST_F(ModelScene, NewContextGetsTheListRecordedAgainFromMemory) {
    cModelScene scene;
    Load(scene, path);
    ASSERT_TRUE(std::remove(path.c_str()) == 0);  // no file is read again

    // The new context knows none of the old names.
    fakegl::Reset();
    RecreateGlObjects();
    EXPECT_EQ(fakegl::Count("glGenLists"), 1u);
    EXPECT_EQ(fakegl::Count("glBegin"), 3u);
    EXPECT_EQ(fakegl::Names().back(), "glEndList");
    const unsigned list = scene.list.Id();
    EXPECT_NE(list, 0u);
    EXPECT_EQ(fakegl::CallsNamed("glNewList").at(0).args[0], double(list));

    fakegl::ClearCalls();
    DrawModelScene(scene, 1.0);
    EXPECT_EQ(fakegl::CallsNamed("glCallList").at(0).args[0], double(list));
}

TEST_F(ModelScene, DestroyedSceneIsNotRecordedAgain) {
    {
        cModelScene scene;
        Load(scene, path);
    }
    fakegl::Reset();
    RecreateGlObjects();
    EXPECT_TRUE(fakegl::Calls().empty());
}
