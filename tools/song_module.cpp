// Turns the score and the synthesized instruments into the writer's module.
#include "tools/song_module.h"

#include "tools/instrument_synth.h"
#include "tools/song_score.h"

#include <vector>

namespace {

// One instrument with its one sample (or none, for the empty slots).
cXmInstrument ToXm(const cSynthInstrument& in) {
    cXmInstrument out;
    out.name = in.name;
    if (in.pcm.empty()) return out;
    cXmSample sample;
    sample.name = in.name;
    sample.data16 = in.pcm;
    sample.loop = in.loop ? cXmLoop::kForward : cXmLoop::kNone;
    sample.loopStart = in.loopStart;
    sample.loopLength = in.loopLength;
    sample.volume = uint8_t(in.volume);
    sample.finetune = int8_t(in.finetune);
    sample.panning = uint8_t(in.panning);
    sample.relativeNote = int8_t(in.relativeNote);
    out.samples.push_back(sample);  // every note plays sample 0
    for (const auto& [tick, level] : in.envelope)
        out.volumeEnvelope.points.push_back({uint16_t(tick), uint16_t(level)});
    out.volumeEnvelope.sustainPoint = in.sustainPoint;
    out.vibratoType = uint8_t(in.vibratoType);
    out.vibratoSweep = uint8_t(in.vibratoSweep);
    out.vibratoDepth = uint8_t(in.vibratoDepth);
    out.vibratoRate = uint8_t(in.vibratoRate);
    out.fadeout = uint16_t(in.fadeout);
    return out;
}

// One pattern cell by cell. A volume in the score is relative to the
// instrument's mix level: the volume column sets the channel's volume
// outright, so the level is applied here.
cXmPattern ToXm(const cScorePattern& in, const std::vector<cSynthInstrument>& instruments) {
    cXmPattern out(in.rows, kSongChannels);
    for (int r = 0; r < in.rows; ++r)
        for (int c = 0; c < kSongChannels; ++c) {
            const cScoreCell& from = in.At(r, c);
            cXmCell& to = out.At(r, c);
            to.note = uint8_t(from.note);
            to.instrument = uint8_t(from.instrument);
            if (from.volume >= 0) {
                const int level = from.instrument > 0 ? instruments[from.instrument - 1].volume : 64;
                to.volume = XmSetVolume((from.volume * level + 32) / 64);
            }
            to.effect = uint8_t(from.effect);
            to.param = uint8_t(from.param);
        }
    return out;
}

}  // namespace

// Assembles the module: tempo, order table with its restart, patterns,
// instruments 1 to 33.
cXmModule MakeSongModule() {
    const cScore score = ComposeSong();
    cXmModule m;
    m.name = score.name;
    m.tracker = "vindelkrok make_data";
    m.channels = kSongChannels;
    m.speed = kSongSpeed;
    m.bpm = kSongBpm;
    m.linearFrequencies = true;
    for (int o : score.orders) m.orders.push_back(uint8_t(o));
    m.restart = kSongRestart;
    const std::vector<cSynthInstrument> instruments = MakeInstruments();
    for (const cScorePattern& p : score.patterns) m.patterns.push_back(ToXm(p, instruments));
    for (const cSynthInstrument& ins : instruments) m.instruments.push_back(ToXm(ins));
    return m;
}
