// Registry of functions that make GL objects again in a new context.
#include "base/gl_recreation.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<cRecreateGl>& Registered() {
    static std::vector<cRecreateGl> functions;
    return functions;
}
}  // namespace

void RegisterGlRecreation(cRecreateGl fn) {
    std::vector<cRecreateGl>& functions = Registered();
    if (fn && std::find(functions.begin(), functions.end(), fn) == functions.end()) functions.push_back(fn);
}

void RecreateGlObjects() {
    // Copy: a function may register another while running.
    const std::vector<cRecreateGl> functions = Registered();
    for (cRecreateGl fn : functions) fn();
}

void ClearGlRecreations() { Registered().clear(); }
