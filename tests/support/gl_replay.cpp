// Replaying a fake-GL record: matrices, colour, capabilities and lists.
#include "tests/support/gl_replay.h"

#include <GL/gl.h>

#include <cmath>

namespace glreplay {

namespace {

// The identity with x, y and z at the given places of the column-major matrix.
cMatrix WithThree(int i, int j, int k, double x, double y, double z) {
    cMatrix t;
    t.m[i] = x;
    t.m[j] = y;
    t.m[k] = z;
    return t;
}

cMatrix Translation(double x, double y, double z) { return WithThree(12, 13, 14, x, y, z); }
cMatrix Scaling(double x, double y, double z) { return WithThree(0, 5, 10, x, y, z); }

// glRotate's matrix: angle in degrees about the normalised axis.
cMatrix Rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double radians = degrees * M_PI / 180;
    const double c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    cMatrix r;
    r.m = {x * x * k + c,     y * x * k + z * s, x * z * k - y * s, 0,
           x * y * k - z * s, y * y * k + c,     y * z * k + x * s, 0,
           x * z * k + y * s, y * z * k - x * s, z * z * k + c,     0,
           0,                 0,                 0,                 1};
    return r;
}

struct cReplayer {
    cState state;
    std::map<unsigned, std::vector<fakegl::cCall>> lists;
    const std::function<void(const fakegl::cCall&, const cState&)>& onCall;

    void Run(const std::vector<fakegl::cCall>& calls, int depth) {
        std::vector<fakegl::cCall>* recording = nullptr;
        for (const fakegl::cCall& call : calls) {
            if (recording) {
                if (call.name == "glEndList") recording = nullptr;
                else recording->push_back(call);
                continue;
            }
            if (call.name == "glNewList") {
                recording = &lists[unsigned(call.args[0])];
                recording->clear();
                continue;
            }
            if (onCall) onCall(call, state);
            Execute(call, depth);
        }
    }

    void Execute(const fakegl::cCall& call, int depth) {
        const std::vector<double>& a = call.args;
        cMatrix& top = state.stack.back();
        if (call.name == "glCallList") {
            auto it = lists.find(unsigned(a[0]));
            if (it != lists.end() && depth < 64) {
                const std::vector<fakegl::cCall> body = it->second;
                Run(body, depth + 1);
            }
        } else if (call.name == "glDrawArrays") {
            // The fetched vertices run like immediate-mode calls, but as in
            // Mesa the arrays' colours do not become the current colour.
            const std::array<double, 4> colour = state.colour;
            Run(call.fetched, depth + 1);
            state.colour = colour;
        } else if (call.name == "glPushMatrix") {
            state.stack.push_back(top);
            if (int(state.stack.size()) > state.maxDepth) state.maxDepth = int(state.stack.size());
        } else if (call.name == "glPopMatrix") {
            if (state.stack.size() > 1) state.stack.pop_back();
            else state.underflow = true;
        } else if (call.name == "glLoadIdentity") {
            top = cMatrix{};
        } else if (call.name == "glTranslatef") {
            top = top * Translation(a[0], a[1], a[2]);
        } else if (call.name == "glRotatef") {
            top = top * Rotation(a[0], a[1], a[2], a[3]);
        } else if (call.name == "glScalef") {
            top = top * Scaling(a[0], a[1], a[2]);
        } else if (call.name == "glColor3f") {
            state.colour = {a[0], a[1], a[2], 1};
        } else if (call.name == "glColor4f") {
            state.colour = {a[0], a[1], a[2], a[3]};
        } else if (call.name == "glLineWidth") {
            state.lineWidth = a[0];
        } else if (call.name == "glEnable") {
            state.enabled[int(a[0])] = true;
        } else if (call.name == "glDisable") {
            state.enabled[int(a[0])] = false;
        } else if (call.name == "glBlendFunc") {
            state.blendSource = int(a[0]);
            state.blendDestination = int(a[1]);
        } else if (call.name == "glFogi" || call.name == "glFogf") {
            state.fog[int(a[0])] = a[1];
        } else if (call.name == "glFogfv" && int(a[0]) == GL_FOG_COLOR) {
            state.fogColour = {a[1], a[2], a[3], a[4]};
        } else if (call.name == "glFogfv") {
            state.fog[int(a[0])] = a[1];
        }
    }
};

}  // namespace

cMatrix cMatrix::operator*(const cMatrix& other) const {
    cMatrix out;
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * other.m[col * 4 + k];
            out.m[col * 4 + row] = sum;
        }
    return out;
}

std::array<double, 3> cMatrix::Apply(double x, double y, double z) const {
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

bool cState::Enabled(int cap) const {
    auto it = enabled.find(cap);
    return it != enabled.end() && it->second;
}

cState Replay(const std::vector<fakegl::cCall>& calls,
              const std::function<void(const fakegl::cCall&, const cState&)>& onCall) {
    cReplayer replayer{cState{}, {}, onCall};
    replayer.Run(calls, 0);
    return replayer.state;
}

}  // namespace glreplay
