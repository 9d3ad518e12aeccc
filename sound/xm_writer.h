// XM writer: a FastTracker II module (format version 1.04) from plain records.
//
// Builds the test modules of the sound layer and, later, the demo's own
// music. A module is a list of patterns of cells, an order table with a
// restart position, a speed and BPM, and instruments with envelopes and
// 8- or 16-bit samples given as plain values (the writer delta-encodes them).
// XmProblem says what in a module the format cannot hold; EncodeXm and
// WriteXmFile write only modules without a problem.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Note numbers of a cell: 0 = none, 1 = C-0 ... 96 = B-7, 97 = key-off.
constexpr uint8_t kXmNoNote = 0;
constexpr uint8_t kXmKeyOff = 97;
// The note of a semitone (0 = C ... 11 = B) in an octave (0..7).
constexpr uint8_t XmNote(int octave, int semitone) { return uint8_t(1 + octave * 12 + semitone); }

// Volume column values: 0 = nothing, 0x10 + v sets volume v (0..64); 0x60 and
// above are the column's effects (0xF0 + x is tone portamento at speed x * 16).
constexpr uint8_t XmSetVolume(int volume) { return uint8_t(0x10 + volume); }

// One cell of a pattern: what a channel does on a row.
struct cXmCell {
    uint8_t note = kXmNoNote;
    uint8_t instrument = 0;  // 1-based; 0 = none
    uint8_t volume = 0;      // volume column, see XmSetVolume
    uint8_t effect = 0;      // 0x00..0x23 (0..9, A..Z as FastTracker shows them)
    uint8_t param = 0;
};

// Rows x channels cells, row-major.
class cXmPattern {
public:
    cXmPattern(int rows, int channels) : rowCount(rows), channelCount(channels), cells(size_t(rows) * channels) {}
    int Rows() const { return rowCount; }
    int Channels() const { return channelCount; }
    cXmCell& At(int row, int channel) { return cells[size_t(row) * channelCount + channel]; }
    const cXmCell& At(int row, int channel) const { return cells[size_t(row) * channelCount + channel]; }

private:
    int rowCount;
    int channelCount;
    std::vector<cXmCell> cells;
};

// A volume or panning envelope: up to 12 points (tick, value 0..64), ticks rising.
struct cXmEnvelope {
    struct cPoint {
        uint16_t tick;
        uint16_t value;
    };
    std::vector<cPoint> points;  // empty = envelope off
    int sustainPoint = -1;       // index into points, -1 = none
    int loopStart = -1;          // indices into points, -1 = no loop
    int loopEnd = -1;
};

enum class cXmLoop : uint8_t { kNone = 0, kForward = 1, kPingPong = 2 };

// A sample: 8-bit values in data8, or 16-bit values in data16 (one of them
// empty). Loop start and length count sample values, not bytes.
struct cXmSample {
    std::string name;
    std::vector<int8_t> data8;
    std::vector<int16_t> data16;
    cXmLoop loop = cXmLoop::kNone;
    uint32_t loopStart = 0;
    uint32_t loopLength = 0;
    uint8_t volume = 64;       // 0..64
    int8_t finetune = 0;       // -128..127, 1/128 semitone steps
    uint8_t panning = 128;     // 0 = left, 255 = right
    int8_t relativeNote = 0;   // semitones added to every note
    bool Is16Bit() const { return !data16.empty(); }
    size_t Length() const { return Is16Bit() ? data16.size() : data8.size(); }
};

// An instrument: up to 16 samples, the sample each of the 96 notes plays
// (index into samples), envelopes, auto-vibrato and fade-out.
struct cXmInstrument {
    std::string name;
    std::vector<cXmSample> samples;
    uint8_t noteSample[96] = {};
    cXmEnvelope volumeEnvelope;
    cXmEnvelope panningEnvelope;
    uint8_t vibratoType = 0;
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint16_t fadeout = 0;
};

struct cXmModule {
    std::string name;
    std::string tracker = "vindelkrok xm_writer";
    int channels = 4;                 // 1..32
    int speed = 6;                    // ticks per row, 1..31
    int bpm = 125;                    // 32..255
    bool linearFrequencies = true;
    std::vector<uint8_t> orders;      // pattern index per order, 1..256 entries
    int restart = 0;                  // order the song continues from after the last
    std::vector<cXmPattern> patterns; // up to 256, each with `channels` channels
    std::vector<cXmInstrument> instruments;  // up to 128; instrument n is instruments[n - 1]
};

// What the format cannot hold in module, or "" when it can be written.
std::string XmProblem(const cXmModule& module);
// The file image of module; empty when XmProblem finds a problem.
std::vector<uint8_t> EncodeXm(const cXmModule& module);
// Writes the file; false when the module has a problem or the file cannot be written.
bool WriteXmFile(const cXmModule& module, const std::string& path);
