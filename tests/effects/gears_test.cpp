// Gear cluster: the outline of one gear, where the wheels sit and turn, the
// jump on the beat, and that only the matrix is left changed.
#include <gtest/gtest.h>

#include "effects/gears.h"

#include "base/beat.h"
#include "tests/support/gl_replay.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <cmath>

namespace {

size_t LineLoops() {
    size_t n = 0;
    for (const auto& b : fakegl::CallsNamed("glBegin")) n += b.args[0] == GL_LINE_LOOP;
    return n;
}

// The cluster's centre in eye space after a frame at song time t, beat b.
double CentreDepth(double t, double b) {
    fakegl::Reset();
    gBeatTime = b;
    cGears gears;
    gears.Draw(t);
    gBeatTime = 0;
    return glreplay::Replay(fakegl::Calls()).Modelview().Apply(0, 0, 0)[2];
}

}  // namespace

TEST(Gears, GearDrawsFourLoopsPerTooth) {
    fakegl::Reset();
    Gear(20, 0.15, 0.1, 0.5);
    EXPECT_EQ(LineLoops(), 80u);
    EXPECT_EQ(fakegl::Count("glVertex3d"), 80u * 4);
    fakegl::Reset();
    Gear(10, 0.13, 0.1, 0.25);
    EXPECT_EQ(LineLoops(), 40u);
    const glreplay::cState state = glreplay::Replay(fakegl::Calls());
    EXPECT_EQ(state.stack.size(), 1u);
    EXPECT_FALSE(state.underflow);
    // Colour and width are the caller's.
    EXPECT_EQ(fakegl::Count("glColor3f") + fakegl::Count("glColor4f") + fakegl::Count("glLineWidth"), 0u);
}

TEST(Gears, NoTeethDrawsNothingAndReturns) {
    fakegl::Reset();
    Gear(0, 0.1, 0.1, 0.5);
    Gear(-10, 0.1, 0.1, 0.5);
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
}

TEST(Gears, ToothOutlineUsesTheGivenPiAndCrossesTheFlanks) {
    fakegl::Reset();
    Gear(20, 0.15, 0.1, 0.5);
    const auto v = fakegl::CallsNamed("glVertex3d");
    const double k = 3.1415 / 180;
    // First face wedge: centre, rim, tip at half a tooth step, next rim point.
    EXPECT_EQ(v[0].args, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(v[1].args, (std::vector<double>{0.5, 0, 0}));
    EXPECT_DOUBLE_EQ(v[2].args[0], 0.65 * std::cos(9 * k));
    EXPECT_DOUBLE_EQ(v[2].args[1], 0.65 * std::sin(9 * k));
    EXPECT_DOUBLE_EQ(v[3].args[0], 0.5 * std::cos(18 * k));
    EXPECT_DOUBLE_EQ(v[3].args[1], 0.5 * std::sin(18 * k));
    // First flank loop (after 20 face wedges): rim low, rim high, tip low, tip high.
    const size_t flank = 20 * 4;
    EXPECT_EQ(v[flank + 0].args, (std::vector<double>{0.5, 0, 0}));
    EXPECT_EQ(v[flank + 1].args, (std::vector<double>{0.5, 0, 0.1}));
    EXPECT_EQ(v[flank + 2].args[2], 0);
    EXPECT_EQ(v[flank + 3].args[2], 0.1);
    EXPECT_EQ(v[flank + 2].args[0], v[2].args[0]);
    // Last pass: the face at the thickness.
    EXPECT_EQ(v[60 * 4].args, (std::vector<double>{0, 0, 0.1}));
    // Sectors turn by a tooth step each, within each of the three passes.
    const auto r = fakegl::CallsNamed("glRotatef");
    ASSERT_EQ(r.size(), 60u);
    for (int i = 0; i < 60; ++i) EXPECT_EQ(r[i].args, (std::vector<double>{18.0 * (i % 20), 0, 0, 1}));
}

TEST(Gears, ClusterJumpsToTheViewerOnTheBeatAndRecedes) {
    EXPECT_NEAR(CentreDepth(10, 10), -1.5, 1e-6);
    EXPECT_NEAR(CentreDepth(10.5, 10), -4, 1e-6);
    // Before any beat the beat time is 0.
    EXPECT_NEAR(CentreDepth(0, 0), -1.5, 1e-6);
    EXPECT_NEAR(CentreDepth(0.2, 0), -2.5, 1e-6);
}

TEST(Gears, WheelsRestAtTheirStartAnglesAndTurnAgainstEachOther) {
    fakegl::Reset();
    cGears gears;
    gears.Draw(0);
    EXPECT_EQ(LineLoops(), 80u + 4 * 40);
    // The wheel rotations: each comes right after the wheel's push (and
    // placement) and before its sectors.
    std::vector<std::vector<double>> placements, turns;
    const auto& calls = fakegl::Calls();
    for (size_t i = 1; i + 1 < calls.size(); ++i) {
        if (calls[i].name == "glTranslatef" && calls[i - 1].name == "glPushMatrix") placements.push_back(calls[i].args);
        if (calls[i].name == "glRotatef" && calls[i + 1].name == "glPushMatrix") turns.push_back(calls[i].args);
    }
    EXPECT_EQ(placements, (std::vector<std::vector<double>>{
                              {0.9f, 0, 0}, {-0.9f, 0, 0}, {0, 0.9f, 0}, {0, -0.9f, 0}}));
    EXPECT_EQ(turns, (std::vector<std::vector<double>>{
                         {0, 0, 0, 1}, {18, 0, 0, 1}, {18, 0, 0, 1}, {360, 0, 0, 1}, {360, 0, 0, 1}}));

    // A second later: large wheel by s·50, small ones by -s·100 from rest.
    fakegl::Reset();
    gears.Draw(1);
    const double s = std::sin(0.5) * 6;
    turns.clear();
    const auto& later = fakegl::Calls();
    for (size_t i = 0; i + 1 < later.size(); ++i)
        if (later[i].name == "glRotatef" && later[i + 1].name == "glPushMatrix") turns.push_back(later[i].args);
    ASSERT_EQ(turns.size(), 5u);
    EXPECT_FLOAT_EQ(float(turns[0][0]), float(s * 50));
    EXPECT_FLOAT_EQ(float(turns[1][0]), float(-s * 100 + 18));
    EXPECT_FLOAT_EQ(float(turns[3][0]), float(-s * 100 + 360));
}

TEST(Gears, LeavesOnlyTheMatrixMoved) {
    fakegl::Reset();
    gBeatTime = 2;
    cGears gears;
    gears.Draw(2.1);
    gBeatTime = 0;
    const glreplay::cState state = glreplay::Replay(fakegl::Calls());
    EXPECT_EQ(state.stack.size(), 1u);
    EXPECT_FALSE(state.underflow);
    EXPECT_NEAR(state.Modelview().Apply(0, 0, 0)[2], -0.1 * 5 - 1.5, 1e-6);
    for (const std::string& name : fakegl::Names()) {
        EXPECT_NE(name, "glEnable");
        EXPECT_NE(name, "glDisable");
        EXPECT_NE(name, "glColor3f");
        EXPECT_NE(name, "glLineWidth");
    }
}
