// Plays an XM module's first pass with libxmp directly (not through the
// demo's sound layer) and records what the tests of the music look at: when
// each order starts, which instruments start notes when, and the level of
// every 20 ms tick of the rendered sound.
#pragma once

#include <string>
#include <vector>

struct cNoteStart {
    int instrument;  // 1-based
    double time;     // seconds from the start of the song
    int order;
    int row;
};

struct cSongScan {
    bool loaded = false;
    int instruments = 0;              // instruments in the module
    std::vector<std::string> names;   // their names, index 0 for instrument 1
    std::vector<double> orderStart;   // first time each order (by index) plays
    std::vector<int> orderSequence;   // orders in the sequence they played
    double duration = 0;              // length of the first pass
    int restartOrder = -1;            // order played right after the first pass
    std::vector<cNoteStart> notes;
    std::vector<double> tickTime;     // start of each rendered tick
    std::vector<double> tickRms;      // RMS of each tick, 0..1 of full scale
    double peak = 0;                  // largest sample, 0..1 of full scale
};

// Scans the module at the demo's mixing rate.
cSongScan ScanFirstPass(const std::string& path);
