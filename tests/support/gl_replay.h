// Replays a fake-GL record to the state it leaves: the modelview matrix with
// its stack, colour, line width, capabilities, blend function and fog. Lists
// recorded with GL_COMPILE are kept and run where glCallList replays them,
// as GL would; an array draw runs the vertices it fetched. Effects tests use it to check what a frame leaves for the next
// step of a composition and where things end up in eye space.
#pragma once

#include "tests/support/fake_gl.h"

#include <array>
#include <functional>
#include <map>
#include <vector>

namespace glreplay {

// Column-major 4 × 4, as GL keeps it.
struct cMatrix {
    std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    cMatrix operator*(const cMatrix& other) const;
    // The point (x, y, z, 1) carried through the matrix.
    std::array<double, 3> Apply(double x, double y, double z) const;
};

struct cState {
    std::vector<cMatrix> stack{cMatrix{}};  // back() is the current modelview
    std::array<double, 4> colour{1, 1, 1, 1};
    double lineWidth = 1;
    std::map<int, bool> enabled;
    int blendSource = 0x1;  // GL_ONE
    int blendDestination = 0;  // GL_ZERO
    std::map<int, double> fog;  // scalar fog parameters by name
    std::array<double, 4> fogColour{0, 0, 0, 0};
    int maxDepth = 1;  // deepest the matrix stack went
    bool underflow = false;  // a pop with nothing pushed

    const cMatrix& Modelview() const { return stack.back(); }
    bool Enabled(int cap) const;
};

// Runs the calls from the default state (identity, white, width 1, nothing
// enabled); onCall sees every executed call with the state before it.
cState Replay(const std::vector<fakegl::cCall>& calls,
              const std::function<void(const fakegl::cCall&, const cState&)>& onCall = {});

}  // namespace glreplay
