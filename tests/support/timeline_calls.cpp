// Expected GL calls of the compositions and the beat flash.
#include "tests/support/timeline_calls.h"

#include "base/beat.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <sstream>

namespace timelinetest {

std::string Line(const std::string& name, const std::vector<double>& args) {
    std::ostringstream out;
    out << name << '(';
    for (size_t i = 0; i < args.size(); ++i) out << (i ? ", " : "") << args[i];
    out << ')';
    return out.str();
}

cLines RecordedLines() {
    cLines lines;
    for (const fakegl::cCall& call : fakegl::Calls()) lines.push_back(Line(call.name, call.args));
    return lines;
}

cLines operator+(cLines a, const cLines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

cLines Composition(int n, double t) {
    const cLines clean = {Line("glDisable", {GL_BLEND}), Line("glDisable", {GL_LIGHTING}),
                          Line("glDisable", {GL_TEXTURE_2D})};
    const std::string clearDepth = Line("glClear", {GL_DEPTH_BUFFER_BIT});
    const std::string identity = Line("glLoadIdentity");
    const std::string back = Line("glTranslatef", {0, 0, -1});
    switch (n) {
        case 1: return clean + cLines{Line("FoggedTunnel", {t})};
        case 2: return {Line("FoggedTunnel", {t}), clearDepth, Line("Road", {t})};
        case 3:
            return {Line("FoggedTunnel", {t}), clearDepth, Line("Road", {t}), clearDepth,
                    Line("glColor3f", {1, 1, 1}), Line("glLineWidth", {2}), identity,
                    Line("glDisable", {GL_FOG}), Line("Gears", {t})};
        case 4: return clean + cLines{Line("BulgingTunnel", {t}), clearDepth, Line("Overlay")};
        case 5:
            return clean + cLines{Line("FoggedTunnel", {t}), Line("glEnable", {GL_BLEND}), clearDepth, identity,
                                  Line("CubeRings", {t}), clearDepth, back};
        case 6:
            return clean + cLines{Line("FoggedTunnel", {t}), Line("glEnable", {GL_BLEND}), clearDepth, identity,
                                  Line("CubeRings", {t}), clearDepth, back, Line("ModelScene", {t})};
        case 7:
            return clean + cLines{Line("FoggedTunnel", {t}), clearDepth, identity, Line("CubeRings", {t}),
                                  clearDepth, Line("ModelScene", {t})};
    }
    return {"no composition " + std::to_string(n)};
}

cLines Flash(float alpha) {
    return {Line("glColor4f", {1, 1, 1, alpha}),
            Line("glEnable", {GL_BLEND}),
            Line("glDisable", {GL_DEPTH_TEST}),
            Line("glBlendFunc", {GL_SRC_ALPHA, GL_DST_ALPHA}),
            Line("glLoadIdentity"),
            Line("glBegin", {GL_QUADS}),
            Line("glVertex3f", {-0.64f, 0.48f, -0.75f}),
            Line("glVertex3f", {0.64f, 0.48f, -0.75f}),
            Line("glVertex3f", {0.64f, -0.48f, -0.75f}),
            Line("glVertex3f", {-0.64f, -0.48f, -0.75f}),
            Line("glEnd"),
            Line("glDisable", {GL_BLEND}),
            Line("glEnable", {GL_DEPTH_TEST})};
}

void SetTimes(double songTime, double beatTime, int beatCount) {
    gSongTime.store(songTime);
    gBeatTime.store(beatTime);
    gBeatCount.store(beatCount);
}

}  // namespace timelinetest
