// The composition of Data/damp.xm as tracker data: patterns of cells, the
// order table and the tempo, in the terms of the XM format.
//
// The song is the demo's script: the timeline picks its scene from the order
// being played, so the order table below is laid out against the scenes.
// At speed 6 and 125 BPM a row lasts 0.12 s and a bar of 16 rows 1.92 s:
//   order 0        intro, 5 bars (9.6 s)
//   order 1        the break, half a bar (0.96 s), screen black
//   orders 2, 3    groove sets in (4 bars), then the build (3 bars)
//   order 4        the drop at 200 rows = 24.0 s, under the fixed white flash
//   orders 4-5, 6-9, 10-13, 14-15, 16-17   one section per scene group
//   orders 18-21   the finale, where every beat switches the scene
// and the song restarts at order 2.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSongChannels = 8;
constexpr int kSongSpeed = 6;       // ticks per row
constexpr int kSongBpm = 125;       // a tick lasts 2.5 / 125 s = 20 ms
constexpr int kSongRestart = 2;     // order the song loops back to
constexpr int kNoteOff = 97;        // XM key-off

// One cell: XM note (1 = C-0 .. 96, 97 key-off, 0 none), 1-based instrument
// (0 none), volume 0..64 (-1 none), effect type and parameter.
struct cScoreCell {
    int note = 0;
    int instrument = 0;
    int volume = -1;
    int effect = 0, param = 0;
};

struct cScorePattern {
    int rows = 64;
    std::vector<cScoreCell> cells;  // rows x kSongChannels, row-major
    cScoreCell& At(int row, int channel) { return cells[size_t(row) * kSongChannels + channel]; }
    const cScoreCell& At(int row, int channel) const { return cells[size_t(row) * kSongChannels + channel]; }
};

struct cScore {
    std::string name;
    std::vector<int> orders;              // pattern index per order
    std::vector<cScorePattern> patterns;
};

// The whole composition.
cScore ComposeSong();
