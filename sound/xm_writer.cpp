// XM writer: the FastTracker II 1.04 file layout.
//
// File: 60-byte preamble, song header (276 bytes with the 256-entry order
// table), patterns (9-byte header, packed cells), instruments (263-byte
// header, also without samples: libxmp loses the name of a last instrument
// written with the short 29-byte header), each followed by its 40-byte sample
// headers and then its delta-encoded sample data. All values little-endian.
#include "sound/xm_writer.h"

#include <cstdio>

namespace {

// ---- Constants -------------------------------------------------------------

constexpr size_t kSongHeaderSize = 276;       // from the header-size field to the end of the order table
constexpr size_t kPatternHeaderSize = 9;
constexpr size_t kInstrumentHeaderSize = 263;
constexpr size_t kSampleHeaderSize = 40;
constexpr size_t kMaxEnvelopePoints = 12;

// ---- Byte output -----------------------------------------------------------

class cBytes {
public:
    void U8(unsigned v) { out.push_back(uint8_t(v)); }
    void U16(unsigned v) {
        U8(v & 0xff);
        U8((v >> 8) & 0xff);
    }
    void U32(uint32_t v) {
        U16(v & 0xffff);
        U16(v >> 16);
    }
    // A fixed-size text field, cut or padded with pad.
    void Text(const std::string& s, size_t size, char pad = '\0') {
        for (size_t i = 0; i < size; ++i) U8(uint8_t(i < s.size() ? s[i] : pad));
    }
    void Zeros(size_t n) { out.insert(out.end(), n, 0); }
    size_t Size() const { return out.size(); }
    std::vector<uint8_t> out;
};

// ---- Local helpers ---------------------------------------------------------

std::string EnvelopeProblem(const cXmEnvelope& e, const std::string& what) {
    const int n = int(e.points.size());
    if (e.points.size() > kMaxEnvelopePoints) return what + " has more than 12 points";
    for (int i = 0; i < n; ++i) {
        if (e.points[i].value > 64) return what + " has a value above 64";
        if (i > 0 && e.points[i].tick <= e.points[i - 1].tick) return what + " ticks do not rise";
    }
    if (e.sustainPoint >= n) return what + " sustain point is not a point";
    if ((e.loopStart < 0) != (e.loopEnd < 0)) return what + " loop needs both ends";
    if (e.loopStart >= 0 && (e.loopEnd >= n || e.loopStart > e.loopEnd)) return what + " loop is outside its points";
    return "";
}

std::string SampleProblem(const cXmSample& s, const std::string& what) {
    if (!s.data8.empty() && !s.data16.empty()) return what + " has both 8- and 16-bit data";
    if (s.volume > 64) return what + " volume is above 64";
    if (s.loop != cXmLoop::kNone) {
        if (s.loopLength == 0) return what + " loop is empty";
        if (uint64_t(s.loopStart) + s.loopLength > s.Length()) return what + " loop runs past its end";
    }
    if (s.Length() * (s.Is16Bit() ? 2 : 1) > 0xffffffffu) return what + " is too long";
    return "";
}

void WriteEnvelopePoints(cBytes& b, const cXmEnvelope& e) {
    for (size_t i = 0; i < kMaxEnvelopePoints; ++i) {
        b.U16(i < e.points.size() ? e.points[i].tick : 0);
        b.U16(i < e.points.size() ? e.points[i].value : 0);
    }
}

// Envelope type bits: 1 on, 2 sustain, 4 loop.
unsigned EnvelopeType(const cXmEnvelope& e) {
    if (e.points.empty()) return 0;
    return 1u | (e.sustainPoint >= 0 ? 2u : 0u) | (e.loopStart >= 0 ? 4u : 0u);
}

// Packed cell: a byte with bit 7 set whose low bits say which of note,
// instrument, volume, effect and parameter follow; an all-present cell is
// written as the five plain bytes.
void WriteCell(cBytes& b, const cXmCell& c) {
    const unsigned mask = (c.note ? 1u : 0u) | (c.instrument ? 2u : 0u) | (c.volume ? 4u : 0u) |
                          (c.effect ? 8u : 0u) | (c.param ? 16u : 0u);
    if (mask != 31) b.U8(0x80 | mask);
    if (c.note) b.U8(c.note);
    if (c.instrument) b.U8(c.instrument);
    if (c.volume) b.U8(c.volume);
    if (c.effect) b.U8(c.effect);
    if (c.param) b.U8(c.param);
}

void WritePattern(cBytes& b, const cXmPattern& p) {
    cBytes data;
    for (int row = 0; row < p.Rows(); ++row)
        for (int ch = 0; ch < p.Channels(); ++ch) WriteCell(data, p.At(row, ch));
    b.U32(kPatternHeaderSize);
    b.U8(0);  // packing type
    b.U16(unsigned(p.Rows()));
    b.U16(unsigned(data.Size()));
    b.out.insert(b.out.end(), data.out.begin(), data.out.end());
}

// Sample values as differences from the previous one, starting from 0.
void WriteSampleData(cBytes& b, const cXmSample& s) {
    if (s.Is16Bit()) {
        int16_t previous = 0;
        for (int16_t v : s.data16) {
            b.U16(uint16_t(v - previous));
            previous = v;
        }
    } else {
        int8_t previous = 0;
        for (int8_t v : s.data8) {
            b.U8(uint8_t(v - previous));
            previous = v;
        }
    }
}

void WriteInstrument(cBytes& b, const cXmInstrument& ins) {
    const size_t start = b.Size();
    b.U32(kInstrumentHeaderSize);
    b.Text(ins.name, 22);
    b.U8(0);  // type
    b.U16(unsigned(ins.samples.size()));
    b.U32(kSampleHeaderSize);
    for (uint8_t s : ins.noteSample) b.U8(s);
    WriteEnvelopePoints(b, ins.volumeEnvelope);
    WriteEnvelopePoints(b, ins.panningEnvelope);
    for (const cXmEnvelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope}) b.U8(unsigned(e->points.size()));
    for (const cXmEnvelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope}) {
        b.U8(unsigned(e->sustainPoint < 0 ? 0 : e->sustainPoint));
        b.U8(unsigned(e->loopStart < 0 ? 0 : e->loopStart));
        b.U8(unsigned(e->loopEnd < 0 ? 0 : e->loopEnd));
    }
    b.U8(EnvelopeType(ins.volumeEnvelope));
    b.U8(EnvelopeType(ins.panningEnvelope));
    b.U8(ins.vibratoType);
    b.U8(ins.vibratoSweep);
    b.U8(ins.vibratoDepth);
    b.U8(ins.vibratoRate);
    b.U16(ins.fadeout);
    b.Zeros(kInstrumentHeaderSize - (b.Size() - start));  // reserved

    for (const cXmSample& s : ins.samples) {
        const uint32_t width = s.Is16Bit() ? 2 : 1;
        const bool looped = s.loop != cXmLoop::kNone;
        b.U32(uint32_t(s.Length()) * width);
        b.U32(looped ? s.loopStart * width : 0);
        b.U32(looped ? s.loopLength * width : 0);
        b.U8(s.volume);
        b.U8(uint8_t(s.finetune));
        b.U8(unsigned(s.loop) | (s.Is16Bit() ? 0x10u : 0u));
        b.U8(s.panning);
        b.U8(uint8_t(s.relativeNote));
        b.U8(0);  // reserved (0 = delta-encoded data)
        b.Text(s.name, 22);
    }
    for (const cXmSample& s : ins.samples) WriteSampleData(b, s);
}

}  // namespace

// ---- Public functions ------------------------------------------------------

std::string XmProblem(const cXmModule& m) {
    if (m.channels < 1 || m.channels > 32) return "channel count outside 1..32";
    if (m.speed < 1 || m.speed > 31) return "speed outside 1..31";
    if (m.bpm < 32 || m.bpm > 255) return "BPM outside 32..255";
    if (m.orders.empty() || m.orders.size() > 256) return "order count outside 1..256";
    if (m.restart < 0 || m.restart >= int(m.orders.size())) return "restart position is not an order";
    if (m.patterns.empty() || m.patterns.size() > 256) return "pattern count outside 1..256";
    if (m.instruments.size() > 128) return "more than 128 instruments";
    for (uint8_t o : m.orders)
        if (o >= m.patterns.size()) return "order names pattern " + std::to_string(o) + ", which does not exist";
    for (size_t i = 0; i < m.patterns.size(); ++i) {
        const cXmPattern& p = m.patterns[i];
        const std::string what = "pattern " + std::to_string(i);
        if (p.Rows() < 1 || p.Rows() > 256) return what + " row count outside 1..256";
        if (p.Channels() != m.channels) return what + " channel count differs from the module's";
        for (int row = 0; row < p.Rows(); ++row)
            for (int ch = 0; ch < p.Channels(); ++ch) {
                const cXmCell& c = p.At(row, ch);
                if (c.note > kXmKeyOff) return what + " has a note above key-off";
                if (c.instrument > m.instruments.size()) return what + " names a missing instrument";
                if (c.effect > 0x23) return what + " has an effect above Z";
            }
    }
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const cXmInstrument& ins = m.instruments[i];
        const std::string what = "instrument " + std::to_string(i + 1);
        if (ins.samples.size() > 16) return what + " has more than 16 samples";
        for (uint8_t s : ins.noteSample)
            if (!ins.samples.empty() && s >= ins.samples.size()) return what + " maps a note to a missing sample";
        std::string problem = EnvelopeProblem(ins.volumeEnvelope, what + " volume envelope");
        if (problem.empty()) problem = EnvelopeProblem(ins.panningEnvelope, what + " panning envelope");
        for (size_t s = 0; problem.empty() && s < ins.samples.size(); ++s)
            problem = SampleProblem(ins.samples[s], what + " sample " + std::to_string(s));
        if (!problem.empty()) return problem;
    }
    return "";
}

std::vector<uint8_t> EncodeXm(const cXmModule& m) {
    if (!XmProblem(m).empty()) return {};
    cBytes b;
    b.Text("Extended Module: ", 17);
    b.Text(m.name, 20, ' ');
    b.U8(0x1a);
    b.Text(m.tracker, 20, ' ');
    b.U16(0x0104);
    b.U32(kSongHeaderSize);
    b.U16(unsigned(m.orders.size()));
    b.U16(unsigned(m.restart));
    b.U16(unsigned(m.channels));
    b.U16(unsigned(m.patterns.size()));
    b.U16(unsigned(m.instruments.size()));
    b.U16(m.linearFrequencies ? 1 : 0);
    b.U16(unsigned(m.speed));
    b.U16(unsigned(m.bpm));
    for (size_t i = 0; i < 256; ++i) b.U8(i < m.orders.size() ? m.orders[i] : 0);
    for (const cXmPattern& p : m.patterns) WritePattern(b, p);
    for (const cXmInstrument& ins : m.instruments) WriteInstrument(b, ins);
    return b.out;
}

bool WriteXmFile(const cXmModule& m, const std::string& path) {
    const std::vector<uint8_t> bytes = EncodeXm(m);
    if (bytes.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0) && written;
}
