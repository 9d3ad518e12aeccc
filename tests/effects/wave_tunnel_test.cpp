// Wave tunnel: the recorded tube, its colours and radii, the list's life
// across frames and contexts, and the state a frame leaves.
#include <gtest/gtest.h>

#include "effects/wave_tunnel.h"

#include "base/gl_recreation.h"
#include "tests/support/gl_replay.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

// The calls recorded between glNewList and glEndList of the first frame.
std::vector<fakegl::cCall> RecordedBody() {
    std::vector<fakegl::cCall> body;
    bool inside = false;
    for (const fakegl::cCall& call : fakegl::Calls()) {
        if (call.name == "glEndList") break;
        if (inside) body.push_back(call);
        if (call.name == "glNewList") inside = true;
    }
    return body;
}

}  // namespace

TEST(WaveTunnel, RecordsTwoHundredFiftyFansOfFourColouredVertices) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.DrawFogged(3.0);
    const std::vector<fakegl::cCall> body = RecordedBody();
    int fans = 0, vertices = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i].name == "glBegin") {
            EXPECT_EQ(body[i].args[0], GL_TRIANGLE_FAN);
            ++fans;
        }
        if (body[i].name == "glVertex3f") {
            ++vertices;
            // The radius function sets the point's colour right before it.
            ASSERT_GE(i, 2u);
            EXPECT_EQ(body[i - 1].name, "glColor3f");
            EXPECT_EQ(body[i - 2].name, "glTexCoord2f");
        }
    }
    EXPECT_EQ(fans, 250);
    EXPECT_EQ(vertices, 1000);
    EXPECT_EQ(std::count_if(body.begin(), body.end(), [](auto& c) { return c.name == "glEnd"; }), 250);
    // The tube is turned onto the view axis inside the list.
    EXPECT_EQ(body[0].name, "glPushMatrix");
    EXPECT_EQ(body[1].args, (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(body[2].args, (std::vector<double>{90, 1, 0, 0}));
    EXPECT_EQ(body.back().name, "glPopMatrix");
}

TEST(WaveTunnel, GeneratesOneListPerVariantAndReplaysItTwicePerFrame) {
    fakegl::Reset();
    cWaveTunnel fogged, bulging;
    for (int frame = 0; frame < 10; ++frame) {
        fogged.DrawFogged(frame * 0.1);
        bulging.DrawBulging(frame * 0.1);
    }
    EXPECT_EQ(fakegl::Count("glGenLists"), 2u);
    EXPECT_NE(fogged.List().Id(), bulging.List().Id());
    EXPECT_EQ(fakegl::Count("glNewList"), 20u);
    std::map<unsigned, int> replays;
    for (const auto& call : fakegl::CallsNamed("glCallList")) ++replays[unsigned(call.args[0])];
    EXPECT_EQ(replays[fogged.List().Id()], 20);
    EXPECT_EQ(replays[bulging.List().Id()], 20);
}

TEST(WaveTunnel, RadiusAAndItsBlueAtTheStart) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.SetTime(0);
    EXPECT_FLOAT_EQ(tunnel.RadiusA(0, 0), 0.225f);
    ASSERT_EQ(fakegl::Count("glColor3f"), 1u);
    const std::vector<double> colour = fakegl::CallsNamed("glColor3f")[0].args;
    EXPECT_EQ(colour[0], 0);
    EXPECT_EQ(colour[1], 0);
    EXPECT_NEAR(colour[2], 2 * std::cos(1.0) / 5 + 1, 1e-6);
    EXPECT_NEAR(colour[2], 1.216, 0.001);
}

TEST(WaveTunnel, RadiiFollowTheirOwnTime) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.SetTime(0);
    // B is thinner and swells along the axis: cos(360 y) with 360 y in radians.
    EXPECT_FLOAT_EQ(tunnel.RadiusB(0, 0), float(0.1 + 1.0 / 40 + 1.0 / 15));
    EXPECT_FLOAT_EQ(tunnel.RadiusB(0.5f, 0), float(0.1 + 1.0 / 40 + std::cos(180.0) / 15));
    // At t = 1.125 the turning ripple has its crest at angle 0.
    tunnel.SetTime(22.5 / 20);
    const double ripple = std::sin(22.5 * 4 / 57.29746936176985) / 20;
    EXPECT_FLOAT_EQ(tunnel.RadiusA(0.3f, 0), float(0.2 + ripple + 1.0 / 40));

    // The blue waves at a point away from every zero: seven and five
    // periods per turn along and around the tube, moving with time.
    fakegl::ClearCalls();
    tunnel.SetTime(1.5);
    tunnel.RadiusB(0.4f, 100);
    const double K = 3.1415 / 180, y = 0.4f, t = 1.5;
    const double blue = std::cos((360 * y + 30 * t) * 7 * K + 1) / 5 + (std::sin((360 * y - 40 * t) * 5 * K) + 1) / 2 +
                        std::cos((100 + 30 * t) * 7 * K + 1) / 5 + (std::sin((100 - 40 * t) * 5 * K) + 1) / 2;
    EXPECT_FLOAT_EQ(float(fakegl::CallsNamed("glColor3f").at(0).args[2]), float(blue));
}

TEST(WaveTunnel, VerticesLieOnTheRadiusAroundTheAxis) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.SetTime(0);
    tunnel.BuildRevolution(1, 5, 50, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    const auto vertices = fakegl::CallsNamed("glVertex3f");
    ASSERT_EQ(vertices.size(), 1000u);
    // First fan: (y 0, 0°), (y 0, 7.2°), (y 0.2, 7.2°), (y 0.2, 0°).
    const double k = 3.14159 / 180;
    const float r0 = tunnel.RadiusA(0, 0);
    const float r1 = tunnel.RadiusA(0, 7.2f);
    EXPECT_FLOAT_EQ(vertices[0].args[0], r0);
    EXPECT_FLOAT_EQ(vertices[0].args[2], 0);
    EXPECT_FLOAT_EQ(vertices[1].args[0], float(std::cos(7.2f * k) * r1));
    EXPECT_FLOAT_EQ(vertices[1].args[2], float(std::sin(7.2f * k) * r1));
    EXPECT_FLOAT_EQ(vertices[2].args[1], 0.2f);
    // The rings run from y = 0 to 1 in five steps of 0.2, float-accumulated.
    std::set<double> heights;
    for (const auto& v : vertices) heights.insert(v.args[1]);
    EXPECT_EQ(heights.size(), 6u);
    EXPECT_FLOAT_EQ(float(*heights.rbegin()), 1.0f);
    // The last sector closes the tube at 360.00009°, back onto the start.
    EXPECT_NEAR(vertices[999 - 1].args[0], r0, 1e-4);
}

TEST(WaveTunnel, NoRingsOrSectorsDrawNothingAndReturn) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.BuildRevolution(1, -5, 50, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    tunnel.BuildRevolution(1, 5, -50, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    tunnel.BuildRevolution(1, 0, 0, &cWaveTunnel::RadiusB, GL_TRIANGLE_FAN);
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
}

TEST(WaveTunnel, FoggedSetsBlackExponentialFogAndBulgingSetsNone) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.DrawFogged(1);
    glreplay::cState state = glreplay::Replay(fakegl::Calls());
    EXPECT_TRUE(state.Enabled(GL_FOG));
    EXPECT_EQ(state.fog[GL_FOG_MODE], GL_EXP);
    EXPECT_EQ(state.fog[GL_FOG_DENSITY], 1.75);
    EXPECT_EQ(state.fog[GL_FOG_START], 0);
    EXPECT_EQ(state.fog[GL_FOG_END], 0.5);
    EXPECT_EQ(state.fogColour, (std::array<double, 4>{0, 0, 0, 0}));
    EXPECT_EQ(fakegl::CallsNamed("glHint").at(0).args, (std::vector<double>{GL_FOG_HINT, GL_NICEST}));

    fakegl::ClearCalls();
    tunnel.DrawBulging(1);
    for (const std::string& name : fakegl::Names()) {
        EXPECT_EQ(name.rfind("glFog", 0), std::string::npos) << name;
        EXPECT_NE(name, "glEnable");
        EXPECT_NE(name, "glDisable");
        EXPECT_NE(name, "glHint");
    }
}

TEST(WaveTunnel, LeavesTheMatrixOneUnitOnAndTheLastRecordedColour) {
    for (bool fogged : {true, false}) {
        fakegl::Reset();
        cWaveTunnel tunnel;
        if (fogged) tunnel.DrawFogged(5.5);
        else tunnel.DrawBulging(5.5);
        // After the list is closed: replay here, move one unit, replay there.
        const std::vector<std::string> names = fakegl::Names();
        const std::vector<std::string> tail(names.end() - 4, names.end());
        EXPECT_EQ(tail, (std::vector<std::string>{"glTranslatef", "glCallList", "glTranslatef", "glCallList"}));

        const glreplay::cState state = glreplay::Replay(fakegl::Calls());
        EXPECT_FALSE(state.underflow);
        EXPECT_EQ(state.stack.size(), 1u);
        EXPECT_EQ(state.Modelview().Apply(0, 0, 0), (std::array<double, 3>{0, 0, 1}));
        const std::vector<double> last = fakegl::CallsNamed("glColor3f").back().args;
        EXPECT_EQ(state.colour, (std::array<double, 4>{last[0], last[1], last[2], 1}));
        for (int cap : {GL_BLEND, GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST}) EXPECT_EQ(state.enabled.count(cap), 0u);
    }
}

TEST(WaveTunnel, TubeRunsAlongTheViewAxisInFrontOfTheViewer) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    glTranslatef(0, 0, -3);  // the scene's view
    tunnel.DrawFogged(0);
    double nearest = -100, farthest = 100;
    glreplay::Replay(fakegl::Calls(), [&](const fakegl::cCall& call, const glreplay::cState& state) {
        if (call.name != "glVertex3f") return;
        const auto eye = state.Modelview().Apply(call.args[0], call.args[1], call.args[2]);
        nearest = std::max(nearest, eye[2]);
        farthest = std::min(farthest, eye[2]);
        EXPECT_NEAR(std::hypot(eye[0], eye[1]), 0.2, 0.1);
    });
    EXPECT_NEAR(nearest, 0, 1e-6);
    EXPECT_NEAR(farthest, -2, 1e-6);
}

TEST(WaveTunnel, NewContextGetsFreshListNames) {
    fakegl::Reset();
    cWaveTunnel fogged;
    {
        // A tunnel that is gone must not be touched by the re-creation.
        cWaveTunnel shortLived;
        shortLived.DrawBulging(0);
    }
    fogged.DrawFogged(0);
    const unsigned old = fogged.List().Id();
    RecreateGlObjects();
    EXPECT_EQ(fogged.List().Id(), 0u);
    fakegl::ClearCalls();
    fogged.DrawFogged(0.1);
    EXPECT_EQ(fakegl::Count("glGenLists"), 1u);
    EXPECT_NE(fogged.List().Id(), 0u);
    EXPECT_NE(fogged.List().Id(), old);
}
