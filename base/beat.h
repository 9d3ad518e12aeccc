// Values shared between the main loop and the sound layer's thread.
//
// The song time is written only by the main loop; the beat time and the
// beat count only by the beat callback. Each is an atomic read and written
// with relaxed ordering: one writer each, nothing locked, and a reader may
// see a new beat count with the old beat time for the length of a frame.
#pragma once

#include <atomic>

struct FMUSIC_MODULE;

// Seconds since the song was started; 0.0 until the first main-loop pass ends.
inline std::atomic<double> gSongTime{0.0};
// Song time at the last beat callback; 0.0 before the first beat.
inline std::atomic<double> gBeatTime{0.0};
// Beat callbacks since start.
inline std::atomic<int> gBeatCount{0};
// The loaded module; the timeline asks it for the current order.
inline FMUSIC_MODULE* gSong = nullptr;

inline double SongTime() { return gSongTime.load(std::memory_order_relaxed); }
inline double BeatTime() { return gBeatTime.load(std::memory_order_relaxed); }
inline int BeatCount() { return gBeatCount.load(std::memory_order_relaxed); }
