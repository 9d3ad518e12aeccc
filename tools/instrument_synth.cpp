// Sample synthesis. All arithmetic is in double with a fixed-seed generator,
// so the same samples come out on every run.
#include "tools/instrument_synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// XM plays a sample at 8363 Hz for C-4 with relative note 0; drum samples are
// made at two octaves above that and played at C-4.
constexpr double kC4Rate = 8363.0;
constexpr double kDrumRate = kC4Rate * 4;
constexpr int kDrumRelativeNote = 24;

// XM note numbers (1 = C-0) of the notes samples are tuned on.
constexpr int kNoteA1 = 1 + 12 * 1 + 9, kNoteC4 = 1 + 12 * 4, kNoteC5 = 1 + 12 * 5;

// Deterministic white noise in -1..1.
class cNoise {
public:
    explicit cNoise(uint32_t seed) : state(seed ? seed : 1) {}
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }

private:
    uint32_t state;
};

// Chamberlin state-variable filter: low, band and high pass from one state.
struct cSvf {
    double low = 0, band = 0;
    // Runs one sample at cutoff f (Hz) for sample rate sr and damping q
    // (2 = no resonance, smaller rings); returns the high-pass output and
    // leaves low and band in the members.
    double Run(double x, double f, double sr, double q) {
        const double k = 2 * std::sin(kPi * std::min(f, sr / 6) / sr);
        low += k * band;
        const double high = x - low - q * band;
        band += k * high;
        return high;
    }
};

// Frequency of an XM note number (A-4 = 440 Hz).
double NoteHz(int xmNote) { return 440.0 * std::pow(2.0, (xmNote - 58) / 12.0); }

// Relative note and finetune so that a sample whose cycle is `period`
// samples long sounds at its true pitch when `xmNote` is played.
void TuneTo(cSynthInstrument& ins, int xmNote, double period) {
    const double semis = 12 * std::log2(NoteHz(xmNote) * period / kC4Rate) - (xmNote - 1 - 48);
    ins.relativeNote = int(std::floor(semis + 0.5));
    ins.finetune = std::clamp(int(std::lround((semis - ins.relativeNote) * 128)), -128, 127);
}

// Scales to 16 bits with the given peak (0..1 of full scale).
std::vector<int16_t> ToPcm(const std::vector<double>& wave, double peak) {
    double top = 1e-9;
    for (double v : wave) top = std::max(top, std::fabs(v));
    std::vector<int16_t> pcm(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) pcm[i] = int16_t(std::lround(wave[i] / top * peak * 32767));
    return pcm;
}

// Soft clipping, for a little warmth in drums.
double Saturate(double x, double drive) { return std::tanh(x * drive) / std::tanh(drive); }

// One cycle of a band-limited sawtooth with `harmonics` partials rolled off
// above `bright` (in harmonics), as a table of n points.
std::vector<double> SawCycle(int n, int harmonics, double bright) {
    std::vector<double> table(n, 0.0);
    for (int k = 1; k <= harmonics; ++k) {
        const double amp = (1.0 / k) / (1 + (k / bright) * (k / bright));
        for (int i = 0; i < n; ++i) table[i] += amp * std::sin(2 * kPi * k * i / n);
    }
    return table;
}

// Reads a cyclic table at phase (in cycles) with linear interpolation.
double Lookup(const std::vector<double>& table, double phase) {
    const double p = (phase - std::floor(phase)) * table.size();
    const size_t i = size_t(p) % table.size();
    const double f = p - std::floor(p);
    return table[i] + (table[(i + 1) % table.size()] - table[i]) * f;
}

// A drum sample: played at C-4, made at kDrumRate.
cSynthInstrument Drum(const char* name, std::vector<double> wave, int volume, int panning) {
    cSynthInstrument ins;
    ins.name = name;
    ins.pcm = ToPcm(wave, 0.95);
    ins.volume = volume;
    ins.panning = panning;
    ins.relativeNote = kDrumRelativeNote;
    return ins;
}

// Length of a drum sample in sample values.
size_t Samples(double seconds) { return size_t(seconds * kDrumRate); }

// ---- Drums -----------------------------------------------------------------

// A drum made from one noise source and one filter: value(t, noise, filter)
// gives each sample value at t seconds, in order.
template <class F>
std::vector<double> NoiseDrum(double seconds, uint32_t seed, F value) {
    std::vector<double> w(Samples(seconds));
    cNoise noise(seed);
    cSvf filter;
    for (size_t i = 0; i < w.size(); ++i) w[i] = value(i / kDrumRate, noise, filter);
    return w;
}

// Kick: a sine falling from 160 Hz to 45 Hz with a click at its start.
std::vector<double> Kick() {
    std::vector<double> w(Samples(0.45));
    cNoise noise(101);
    double phase = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = i / kDrumRate;
        phase += 2 * kPi * (45 + 115 * std::exp(-t / 0.03)) / kDrumRate;
        const double body = std::sin(phase) * std::exp(-t / 0.2);
        const double click = noise.Next() * std::exp(-t / 0.002) * 0.5;
        w[i] = Saturate(body + click, 1.6) * std::min(1.0, (w.size() - i) / 300.0);
    }
    return w;
}

// Hi-hat: high-passed noise with six square partials for a metallic ring.
std::vector<double> Hat(double seconds, double decay, uint32_t seed) {
    return NoiseDrum(seconds, seed, [decay](double t, cNoise& noise, cSvf& filter) {
        const double partials[] = {2960, 4170, 5350, 6470, 7310, 8440};
        double metal = 0;
        for (double f : partials) metal += std::sin(2 * kPi * f * t) > 0 ? 1 : -1;
        const double x = noise.Next() * 0.7 + metal / 6 * 0.5;
        return filter.Run(x, 7000, kDrumRate, 1.2) * std::exp(-t / decay);
    });
}

// Crash: a long metallic wash, brighter at first.
std::vector<double> Crash() {
    return NoiseDrum(2.2, 303, [](double t, cNoise& noise, cSvf& filter) {
        const double partials[] = {2330, 3120, 3950, 4870, 5710, 6680, 7930};
        double metal = 0;
        for (double f : partials) metal += std::sin(2 * kPi * f * t + f) > 0 ? 1 : -1;
        const double x = noise.Next() + metal / 7 * 0.6;
        const double cutoff = 4000 + 3000 * std::exp(-t / 0.3);
        return filter.Run(x, cutoff, kDrumRate, 1.0) * std::exp(-t / 0.55) * std::min(1.0, t / 0.002);
    });
}

// Clap: three quick bursts of band-passed noise and a short tail.
std::vector<double> Clap() {
    return NoiseDrum(0.4, 404, [](double t, cNoise& noise, cSvf& filter) {
        double env = 0;
        for (double start : {0.0, 0.011, 0.022}) {
            if (t >= start) env = std::max(env, std::exp(-(t - start) / 0.005));
        }
        if (t >= 0.03) env = std::max(env, 0.85 * std::exp(-(t - 0.03) / 0.09));
        filter.Run(noise.Next(), 1300, kDrumRate, 0.7);
        return filter.band * env;
    });
}

// Snare: a short tone at 190 Hz under bright noise.
std::vector<double> Snare() {
    return NoiseDrum(0.3, 505, [](double t, cNoise& noise, cSvf& filter) {
        const double tone = std::sin(2 * kPi * 190 * t) * std::exp(-t / 0.05);
        const double hiss = filter.Run(noise.Next(), 2000, kDrumRate, 1.4) * std::exp(-t / 0.09);
        return tone * 0.6 + hiss;
    });
}

// Tom: a sine sliding down from 150 to 95 Hz.
std::vector<double> Tom() {
    std::vector<double> w(Samples(0.5));
    double phase = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = i / kDrumRate;
        phase += 2 * kPi * (95 + 55 * std::exp(-t / 0.08)) / kDrumRate;
        w[i] = Saturate(std::sin(phase) * std::exp(-t / 0.2), 1.3);
    }
    return w;
}

// Riser: noise through a band pass sweeping up over one bar, growing louder.
std::vector<double> Riser() {
    const double length = 1.92;
    std::vector<double> w(Samples(length));
    cNoise noise(606);
    cSvf filter;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = i / kDrumRate, x = t / length;
        filter.Run(noise.Next(), 300 * std::pow(20.0, x), kDrumRate, 0.35);
        w[i] = filter.band * (0.15 + 0.85 * x * x) * std::min(1.0, (w.size() - i) / 600.0);
    }
    return w;
}

// Boom: a deep falling sine for the drop, with a rumble under it.
std::vector<double> Boom() {
    std::vector<double> w(Samples(1.6));
    cNoise noise(707);
    cSvf filter;
    double phase = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = i / kDrumRate;
        phase += 2 * kPi * (34 + 70 * std::exp(-t / 0.06)) / kDrumRate;
        filter.Run(noise.Next(), 180, kDrumRate, 1.0);
        w[i] = Saturate(std::sin(phase) * std::exp(-t / 0.5) + filter.low * 2 * std::exp(-t / 0.3), 1.5);
    }
    return w;
}

// ---- Tonal instruments -----------------------------------------------------

// Bass: one cycle of a warm saw with a sine under it, looped; the envelope
// gives each note its pluck.
cSynthInstrument Bass() {
    const int period = 512;
    const std::vector<double> saw = SawCycle(period, 24, 6);
    std::vector<double> w(period);
    for (int i = 0; i < period; ++i) w[i] = saw[i] * 0.8 + std::sin(2 * kPi * i / period) * 0.6;
    cSynthInstrument ins;
    ins.name = "bass";
    ins.pcm = ToPcm(w, 0.9);
    ins.loop = true, ins.loopStart = 0, ins.loopLength = period;
    ins.volume = 36;
    ins.envelope = {{0, 64}, {3, 54}, {10, 38}, {30, 28}, {80, 20}};
    ins.fadeout = 0x400;
    TuneTo(ins, kNoteA1, period);
    return ins;
}

// A chord of saws, three slightly detuned voices per tone, in a loop that
// holds a whole number of cycles of every voice. `cycles` gives each tone's
// cycles per loop; the root has 256 (a 128-sample period).
cSynthInstrument Pad(const char* name, const std::vector<int>& cycles) {
    const int length = 32768, period = 128;
    const std::vector<double> saw = SawCycle(2048, 40, 5);
    std::vector<double> w(length, 0.0);
    for (int c : cycles)
        for (int detune : {-1, 0, 1})
            for (int i = 0; i < length; ++i)
                w[i] += Lookup(saw, double(c + detune) * i / length + 0.31 * (detune + 1) + c * 0.017);
    cSynthInstrument ins;
    ins.name = name;
    ins.pcm = ToPcm(w, 0.9);
    ins.loop = true, ins.loopStart = 0, ins.loopLength = length;
    ins.volume = 64;
    ins.envelope = {{0, 30}, {12, 64}, {60, 50}};
    ins.sustainPoint = 2;
    ins.fadeout = 0x180;
    TuneTo(ins, kNoteC4, period);
    return ins;
}

// Lead: two saws a few cents apart plus a square an octave down, looped,
// with a gentle vibrato that fades in.
cSynthInstrument Lead() {
    const int length = 16384, period = 64, cycles = length / period;
    const std::vector<double> saw = SawCycle(2048, 14, 7);
    std::vector<double> w(length);
    for (int i = 0; i < length; ++i) {
        const double square = std::sin(2 * kPi * (cycles / 2) * i / length) > 0 ? 0.25 : -0.25;
        w[i] = Lookup(saw, double(cycles) * i / length) + Lookup(saw, double(cycles + 1) * i / length + 0.4) + square;
    }
    cSynthInstrument ins;
    ins.name = "lead";
    ins.pcm = ToPcm(w, 0.9);
    ins.loop = true, ins.loopStart = 0, ins.loopLength = length;
    ins.volume = 42;
    ins.envelope = {{0, 0}, {2, 64}, {12, 48}, {80, 40}};
    ins.sustainPoint = 2;
    ins.fadeout = 0x500;
    ins.vibratoType = 0, ins.vibratoSweep = 48, ins.vibratoDepth = 5, ins.vibratoRate = 12;
    TuneTo(ins, kNoteC5, period);
    return ins;
}

// Pluck: a two-operator FM bell whose brightness dies away with its sound.
cSynthInstrument Pluck() {
    const int period = 64;
    const double sr = NoteHz(kNoteC5) * period, f = NoteHz(kNoteC5);
    std::vector<double> w(size_t(sr * 0.7));
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = i / sr;
        const double index = 2.2 * std::exp(-t / 0.08);
        w[i] = std::sin(2 * kPi * f * t + index * std::sin(2 * kPi * 2 * f * t)) * std::exp(-t / 0.22) *
               std::min(1.0, t / 0.001);
    }
    cSynthInstrument ins;
    ins.name = "pluck";
    ins.pcm = ToPcm(w, 0.9);
    ins.volume = 40;
    TuneTo(ins, kNoteC5, period);
    return ins;
}

// Stab: root, fifth and octave of detuned saws through a closing low pass.
cSynthInstrument Stab() {
    const int period = 128;
    const double sr = NoteHz(kNoteC4) * period, f = NoteHz(kNoteC4);
    const std::vector<double> saw = SawCycle(2048, 40, 12);
    std::vector<double> w(size_t(sr * 0.6));
    cSvf filter;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = i / sr;
        double x = 0;
        for (double ratio : {1.0, 1.4983, 2.0})
            for (double detune : {0.996, 1.0, 1.004}) x += Lookup(saw, f * ratio * detune * t + ratio);
        filter.Run(x, 600 + 5000 * std::exp(-t / 0.07), sr, 0.8);
        w[i] = filter.low * std::exp(-t / 0.16) * std::min(1.0, t / 0.002);
    }
    cSynthInstrument ins;
    ins.name = "stab (beat)";
    ins.pcm = ToPcm(w, 0.9);
    ins.volume = 64;
    ins.panning = 150;
    TuneTo(ins, kNoteC4, period);
    return ins;
}

}  // namespace

// Builds all instruments; the unused slots keep a name but no sample.
std::vector<cSynthInstrument> MakeInstruments() {
    std::vector<cSynthInstrument> all(kInstrumentCount);
    auto put = [&](int number, cSynthInstrument ins) { all[number - 1] = std::move(ins); };
    put(kInsKick, Drum("kick", Kick(), 50, 128));
    put(kInsClosedHat, Drum("closed hat", Hat(0.15, 0.03, 202), 52, 100));
    put(kInsOpenHat, Drum("open hat", Hat(0.6, 0.2, 203), 48, 156));
    put(kInsBass, Bass());
    // Chord tones as cycles per loop: minor third 304, major third 323,
    // fifth 384, octave 512 (within 3 cents of equal temperament).
    put(kInsPadMinor, Pad("pad minor", {256, 304, 384, 512}));
    put(kInsPadMajor, Pad("pad major", {256, 323, 384, 512}));
    put(kInsLead, Lead());
    put(kInsPluck, Pluck());
    put(kInsCrash, Drum("crash", Crash(), 56, 128));
    put(kInsTom, Drum("tom", Tom(), 56, 110));
    put(kInsRiser, Drum("riser", Riser(), 48, 128));
    put(kInsSnare, Drum("snare", Snare(), 52, 140));
    put(kInsClap, Drum("clap (beat)", Clap(), 64, 120));
    put(kInsBoom, Drum("boom", Boom(), 64, 128));
    put(kInsStab, Stab());
    for (int n = 15; n < kInsStab; ++n) all[n - 1].name = "";
    return all;
}
