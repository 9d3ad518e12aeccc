// Trigger detection from libxmp's per-tick frame info.
//
// libxmp 4.5 reports each channel's row event on every tick of the row, with
// notes as the XM note + 12 (1..128 are notes, 129 = key-off, 130 = cut,
// 131 = fade) and XM effects under their XM numbers; the volume column's
// tone portamento arrives as the second effect (f2t = 3). The channel's
// instrument, 0-based, is the one libxmp has just started or carries on.
// Whether a note finds a sample to start is read from the module the way
// libxmp's FastTracker II player looks it up: the instrument's key map, the
// sample it names, and the transposed note's range.
#include "sound/trigger_detector.h"

namespace {

// ---- Constants -------------------------------------------------------------

constexpr int kLastNote = 128;
constexpr unsigned char kFxTonePortamento = 0x03;
constexpr unsigned char kFxTonePortamentoVolumeSlide = 0x05;
constexpr unsigned char kFxExtended = 0x0e;
constexpr unsigned char kFxKeyOff = 0x14;
constexpr unsigned char kExNoteDelay = 0x0d;
constexpr unsigned char kNoSample = 0xff;
// The keys a transposed note may reach; libxmp ignores a note outside them
// and lets the channel go on with what it plays.
constexpr int kLowestRealKey = 12;
constexpr int kHighestRealKey = 130;

// ---- Local helpers ---------------------------------------------------------

bool IsTonePortamento(unsigned char fx) { return fx == kFxTonePortamento || fx == kFxTonePortamentoVolumeSlide; }

// The tick a note of this event starts on: x for EDx, else 0.
int StartTick(const xmp_event& e) {
    if (e.fxt == kFxExtended && (e.fxp >> 4) == kExNoteDelay) return e.fxp & 0x0f;
    if (e.f2t == kFxExtended && (e.f2p >> 4) == kExNoteDelay) return e.f2p & 0x0f;
    return 0;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

void cTriggerDetector::Reset(const xmp_module* playing) {
    module = playing;
    order = -1;
    for (cPendingNote& p : pending) p = cPendingNote{};
    for (int& n : named) n = 0;
}

void cTriggerDetector::OnTick(const xmp_frame_info& info, int channels, int64_t sample,
                              std::vector<cSoundEvent>& events) {
    if (info.pos != order) {
        order = info.pos;
        cSoundEvent e;
        e.kind = cSoundEvent::cKind::kOrder;
        e.sample = sample;
        e.order = info.pos;
        e.row = info.row;
        events.push_back(e);
    }
    for (int ch = 0; ch < channels && ch < XMP_MAX_CHANNELS; ++ch) {
        const xmp_channel_info& ci = info.channel_info[ch];
        cPendingNote& p = pending[ch];
        if (info.frame == 0) {
            const xmp_event& ev = ci.event;
            if (ev.ins != 0) named[ch] = ev.ins;
            p.starts = ev.note >= 1 && ev.note <= kLastNote && !IsTonePortamento(ev.fxt) &&
                       !IsTonePortamento(ev.f2t) && !(ev.fxt == kFxKeyOff && ev.fxp == 0) &&
                       HasSamples(named[ch] - 1);
            p.tick = StartTick(ev);
            p.key = ev.note - 1;
        }
        // During a pattern delay the frame counts on past the speed, so a
        // note meets its tick once. By the start tick libxmp has taken the
        // note, so the channel's instrument is the one it plays.
        if (!p.starts || info.frame != p.tick || p.tick >= info.speed || !SampleStarts(ci.instrument, p.key)) continue;
        cSoundEvent e;
        e.kind = cSoundEvent::cKind::kTrigger;
        e.sample = sample;
        e.order = info.pos;
        e.row = info.row;
        e.channel = ch;
        e.instrument = ci.instrument + 1;
        events.push_back(e);
    }
}

// ---- Local helpers ---------------------------------------------------------

bool cTriggerDetector::HasSamples(int instrument) const {
    return module && instrument >= 0 && instrument < module->ins && module->xxi[instrument].nsm > 0;
}

bool cTriggerDetector::SampleStarts(int instrument, int key) const {
    if (!HasSamples(instrument) || key < 0 || key >= XMP_MAX_KEYS) return false;
    const xmp_instrument& ins = module->xxi[instrument];
    const int mapped = ins.map[key].ins;
    if (mapped == kNoSample || mapped >= ins.nsm) return false;
    const xmp_subinstrument& sub = ins.sub[mapped];
    if (sub.sid < 0 || sub.sid >= module->smp || module->xxs[sub.sid].len <= 0) return false;
    const int realKey = key + sub.xpo + ins.map[key].xpo;
    return realKey >= kLowestRealKey && realKey <= kHighestRealKey;
}
