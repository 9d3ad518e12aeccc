// The capture's frame clock: frame n is drawn at song time exactly n / fps,
// counted from the song's start, whatever range is captured.
//
// The music is measured in its own frames (samples at the mixing rate) and
// matched to video frames in whole numbers, so no rounding of doubles
// decides which frame hears an event: an event stamped at sample s is heard
// by frame n when s / rate <= n / fps, an event exactly at a frame's time
// included. The audio that belongs to frame n is the samples from
// FrameSample(n) up to FrameSample(n + 1).
#pragma once

#include <cmath>
#include <cstdint>

// Song time of a frame, in seconds.
inline double FrameTime(int64_t frame, int fps) { return double(frame) / double(fps); }
// The first sample at or after the frame's time.
inline int64_t FrameSample(int64_t frame, int fps, int rate) { return (frame * rate + fps - 1) / fps; }
// True when an event at sample is heard by the frame.
inline bool HeardBy(int64_t sample, int rate, int64_t frame, int fps) { return sample * fps <= frame * rate; }
// The frame nearest song time t.
inline int64_t NearestFrame(double t, int fps) { return std::llround(t * fps); }
// The first frame at or after song time t; a time meant to be on a frame
// (23.1 s at 30 fps) counts as on it despite binary rounding.
inline int64_t FirstFrameFrom(double t, int fps) { return int64_t(std::ceil(t * fps - 1e-6)); }
