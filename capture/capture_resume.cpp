// Times of frames as exact decimal text.
#include "capture/capture_resume.h"

#include <cstdio>

// ---- Public functions ------------------------------------------------------

std::string FramesAsSeconds(int64_t frames, int fps) {
    // Whole microseconds, cut: the text is at most a microsecond early, a
    // small part of a frame (fps / 1e6), so the first frame at or after it
    // and the nearest frame to it are both this one. Rounded up it could be
    // later than the frame's time by more than the frame clock's tolerance,
    // and --start would skip the frame.
    const int64_t micro = frames * 1000000 / fps;
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(micro / 1000000),
                  static_cast<long long>(micro % 1000000));
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}
