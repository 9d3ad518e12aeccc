// Real GL for pixel tests: a window with a GLX context on the X display named
// by DISPLAY (Xvfb with Mesa's software renderer under CTest), read back with
// glReadPixels and compared with reference PNGs under tests/reference/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;
struct __GLXcontextRec;

namespace pixeltest {

struct cFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows top-down, R, G, B
};

// One mapped 800 x 600 (or given size) double-buffered window with a current
// GLX context; closed on destruction.
class cTestContext {
public:
    cTestContext(int width = 800, int height = 600);
    ~cTestContext();
    cTestContext(const cTestContext&) = delete;
    cTestContext& operator=(const cTestContext&) = delete;

    bool ok() const { return context != nullptr; }
    const std::string& error() const { return failure; }
    // Reads the back buffer (what was drawn since the last swap).
    cFrame ReadBack() const;

private:
    _XDisplay* display = nullptr;
    unsigned long window = 0;
    __GLXcontextRec* context = nullptr;
    int width, height;
    std::string failure;
};

bool ReadPng(const std::string& path, cFrame& frame);
bool WritePng(const std::string& path, const cFrame& frame);

struct cDifference {
    int differing = 0;  // pixels with a channel off by more than the tolerance
    int largest = 0;    // largest channel difference seen
};
cDifference Compare(const cFrame& a, const cFrame& b, int tolerance);

// Compares a frame with tests/reference/<name>.png: passes when at most
// maxDiffering pixels have a channel off by more than tolerance. The frame is
// always written to pixel-out/<name>.png in the build tree for looking at;
// with VK_UPDATE_REFERENCES=1 it replaces the reference instead.
std::string MatchReference(const std::string& name, const cFrame& frame, int tolerance, int maxDiffering);

}  // namespace pixeltest
