// The composition: sections written with small helpers for drum rhythms,
// bass figures, chord pads, arpeggios and melodies given as note strings.
#include "tools/song_score.h"

#include "tools/instrument_synth.h"

#include <sstream>

namespace {

// Channels, one role each.
enum { kChKick, kChClap, kChHats, kChBass, kChPad, kChLead, kChPluck, kChFx };

// XM note number of a note name such as "A4" or "C#5" (C-4 is 49).
int Note(const std::string& name) {
    static const int semitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int n = semitone[name[0] - 'A'];
    size_t k = 1;
    if (name[k] == '#') ++n, ++k;
    return 1 + 12 * (name[k] - '0') + n;
}

// A chord: its root note name for pads and stabs, whether it is minor, and
// its bass root.
struct cChord {
    const char* pad;
    bool minor;
    const char* bass;
    const char* arp[4];  // chord tones from low to high for arpeggios
};

const cChord kAm{"A3", true, "A1", {"A4", "C5", "E5", "A5"}};
const cChord kF{"F3", false, "F1", {"F4", "A4", "C5", "F5"}};
const cChord kC{"C4", false, "C2", {"C5", "E5", "G5", "C6"}};
const cChord kG{"G3", false, "G1", {"G4", "B4", "D5", "G5"}};
const cChord kEm{"E3", true, "E1", {"E4", "G4", "B4", "E5"}};

// Writes into one pattern.
class cWriter {
public:
    explicit cWriter(int rows) {
        pattern.rows = rows;
        pattern.cells.resize(size_t(rows) * kSongChannels);
    }
    cScorePattern Done() { return pattern; }
    int Rows() const { return pattern.rows; }

    // A note with its instrument and volume.
    void Put(int row, int channel, int note, int instrument, int volume = -1) {
        if (row < 0 || row >= pattern.rows) return;
        cScoreCell& c = pattern.At(row, channel);
        c.note = note, c.instrument = instrument, c.volume = volume;
    }
    // A key-off, which lets an enveloped note fade.
    void Off(int row, int channel) { Put(row, channel, kNoteOff, 0); }

    // A drum rhythm over `bars` bars from `bar`: one character per row, 'x'
    // at `loud`, 'o' at `soft`, '.' silent; the 16-row string repeats.
    void Rhythm(int bar, int bars, int channel, int instrument, const char* steps, int loud, int soft,
                const char* note = "C4") {
        for (int b = bar; b < bar + bars; ++b)
            for (int r = 0; r < 16 && steps[r]; ++r) {
                if (steps[r] == 'x') Put(b * 16 + r, channel, Note(note), instrument, loud);
                if (steps[r] == 'o') Put(b * 16 + r, channel, Note(note), instrument, soft);
            }
    }

    // A melody from `row`: whitespace-separated tokens, one per row: a note
    // name, '^' for key-off, '.' to hold or rest.
    void Melody(int row, int channel, int instrument, const std::string& tokens, int volume = -1) {
        std::istringstream in(tokens);
        std::string t;
        for (int r = row; in >> t; ++r) {
            if (t == "^") Off(r, channel);
            else if (t != ".") Put(r, channel, Note(t), instrument, volume);
        }
    }

    // One pad chord per bar.
    void Pads(int bar, const std::vector<cChord>& chords, int volume) {
        for (size_t k = 0; k < chords.size(); ++k)
            Put((bar + int(k)) * 16, kChPad, Note(chords[k].pad), chords[k].minor ? kInsPadMinor : kInsPadMajor, volume);
    }

    // Bass figure per bar: 'R' root, 'O' octave up, 'r' a softer root; the
    // string repeats every 16 rows.
    void Bass(int bar, const std::vector<cChord>& chords, const char* steps, int volume) {
        for (size_t k = 0; k < chords.size(); ++k) {
            const int root = Note(chords[k].bass);
            for (int r = 0; r < 16 && steps[r]; ++r) {
                const int row = (bar + int(k)) * 16 + r;
                if (steps[r] == 'R') Put(row, kChBass, root, kInsBass, volume);
                if (steps[r] == 'r') Put(row, kChBass, root, kInsBass, volume * 2 / 3);
                if (steps[r] == 'O') Put(row, kChBass, root + 12, kInsBass, volume);
                if (steps[r] == '^') Off(row, kChBass);
            }
        }
    }

    // Arpeggio of the chord tones every `step` rows, up and down, with the
    // volume rising from `from` to `to` across the chords.
    void Arp(int bar, const std::vector<cChord>& chords, int step, int from, int to) {
        static const int order[] = {0, 1, 2, 3, 2, 1, 2, 1};
        const int total = int(chords.size()) * 16;
        int k = 0;
        for (int r = 0; r < total; r += step, ++k) {
            const cChord& c = chords[r / 16];
            const int volume = from + (to - from) * r / (total > 1 ? total - 1 : 1);
            Put(bar * 16 + r, kChPluck, Note(c.arp[order[k % 8]]), kInsPluck, volume);
        }
    }

    // Stabs (a beat instrument) on the given rows of every bar.
    void Stabs(int bar, const std::vector<cChord>& chords, std::vector<int> rows, int volume) {
        for (size_t k = 0; k < chords.size(); ++k)
            for (int r : rows) Put((bar + int(k)) * 16 + r, kChFx, Note(chords[k].pad) + 12, kInsStab, volume);
    }

private:
    cScorePattern pattern;
};

// Drum rhythms, one bar each.
const char* const kFourFloor = "x...x...x...x...";
const char* const kBackbeat = "....x.......x...";
const char* const kOffHats = "..x...x...x...x.";
const char* const kSixteenthHats = "oxoxoxoxoxoxoxox";
const char* const kRollingBass = ".RrR.RrR.RrR.RrO";
const char* const kOffbeatBass = "..R...R...R...R.";

// Melodies, four bars each, one token per row.
const char* const kLeadA =
    "E5 . . . . . D5 . C5 . . . D5 . E5 . "
    "C5 . . . . . . . A4 . . . C5 . . . "
    "G5 . . . . . E5 . D5 . . . C5 . D5 . "
    "B4 . . . . . . . D5 . . . G4 . ^ . ";
const char* const kLeadA2 =
    "E5 . . . . . D5 . C5 . . . D5 . E5 . "
    "A5 . . . . . G5 . F5 . . . E5 . C5 . "
    "G5 . . . . . E5 . G5 . . . C6 . B5 . "
    "B5 . . . A5 . . . G5 . . . D5 . ^ . ";
const char* const kLeadB =
    "A5 . . . C6 . . . B5 . A5 . G5 . E5 . "
    "F5 . . . . . . . C6 . . . A5 . . . "
    "G5 . . . C6 . . . D6 . C6 . G5 . E5 . "
    "D5 . . . G5 . . . B5 . . . D6 . ^ . ";
const char* const kLeadB2 =
    "E6 . . . . . D6 . C6 . . . B5 . A5 . "
    "C6 . . . . . A5 . F5 . . . A5 . C6 . "
    "E6 . . . D6 . C6 . G5 . . . C6 . E6 . "
    "D6 . . . . . . . B5 . . . G5 . ^ . ";

const std::vector<cChord> kMain{kAm, kF, kC, kG};

// A one-bar build at `bar`: a snare roll in eighths, then sixteenths,
// growing louder, with the riser sweeping under it.
void Build(cWriter& w, int bar) {
    for (int r = 0; r < 16; ++r) {
        const bool on = r < 8 ? r % 2 == 0 : true;
        if (on) w.Put(bar * 16 + r, kChClap, Note("C4"), kInsSnare, 20 + r * 3);
    }
    w.Put(bar * 16, kChFx, Note("C4"), kInsRiser, 40);
}

// Order 0: pads alone under the white light, arpeggios quickening with the
// strobe, then kick, snare roll and riser while the picture slides away.
cScorePattern Intro() {
    cWriter w(80);
    w.Pads(0, {kAm, kF, kC, kG, kAm}, 56);
    w.Arp(0, {kAm, kF}, 4, 18, 30);
    w.Arp(2, {kC, kG}, 1, 22, 44);
    w.Arp(4, {kAm}, 1, 40, 52);
    w.Rhythm(2, 2, kChHats, kInsClosedHat, kSixteenthHats, 28, 14);
    w.Rhythm(4, 1, kChHats, kInsClosedHat, kSixteenthHats, 40, 24);
    w.Put(32, kChBass, Note("C2"), kInsBass, 36);
    w.Put(48, kChBass, Note("G1"), kInsBass, 36);
    w.Bass(4, {kAm}, kOffbeatBass, 48);
    w.Rhythm(4, 1, kChKick, kInsKick, kFourFloor, 56, 0);
    Build(w, 4);
    return w.Done();
}

// Order 1: the break. Everything stops but a falling tom fill.
cScorePattern Break() {
    cWriter w(8);
    w.Off(0, kChPad);
    w.Off(0, kChBass);
    w.Melody(0, kChFx, kInsTom, "E4 . A3 . F3 . D3 .", 56);
    return w.Done();
}

// The groove every main section shares: kick, clap (beat) on two and four,
// hats, bass and pads over the chords.
void Groove(cWriter& w, const std::vector<cChord>& chords, const char* bass, bool openHats) {
    const int bars = int(chords.size());
    w.Rhythm(0, bars, kChKick, kInsKick, kFourFloor, 60, 0);
    w.Rhythm(0, bars, kChClap, kInsClap, kBackbeat, 60, 0);
    w.Rhythm(0, bars, kChHats, openHats ? kInsOpenHat : kInsClosedHat, kOffHats, 40, 0);
    w.Bass(0, chords, bass, 52);
    w.Pads(0, chords, 50);
}

// Order 2: the groove sets in, arpeggios above it.
cScorePattern GrooveIn() {
    cWriter w(64);
    Groove(w, kMain, kOffbeatBass, false);
    w.Arp(0, kMain, 2, 26, 34);
    w.Put(0, kChHats, Note("C4"), kInsCrash, 40);
    return w.Done();
}

// Order 3: the lead enters; the last bar builds to the drop.
cScorePattern BuildUp() {
    cWriter w(48);
    const std::vector<cChord> chords{kAm, kF, kG};
    Groove(w, chords, kRollingBass, false);
    for (int r = 32; r < 48; ++r) w.Put(r, kChClap, 0, 0);  // the roll takes the clap's place
    for (int r = 44; r < 48; ++r) w.Put(r, kChKick, 0, 0);  // and the kick drops out before the drop
    w.Melody(0, kChLead, kInsLead, "E5 . . . . . D5 . C5 . . . D5 . E5 . C5 . . . . . . . A4 . . . C5 . . . D5 . . . . . . . . . . . ^ . . .", 44);
    Build(w, 2);
    return w.Done();
}

// Orders 4 and 5: the drop. Crash, boom and a stab (beat) on the first row,
// full groove with rolling bass, lead and stabs on every second bar.
cScorePattern Drop(const char* lead, bool first) {
    cWriter w(64);
    Groove(w, kMain, kRollingBass, true);
    w.Melody(0, kChLead, kInsLead, lead, 48);
    w.Stabs(0, kMain, {0}, 64);
    if (first) {
        w.Put(0, kChKick, Note("C4"), kInsBoom, 64);
        w.Put(0, kChHats, Note("C4"), kInsCrash, 60);
    }
    return w.Done();
}

// Orders 6 to 9: the breakdown. No kick but on the bar, clap (beat) still on
// two and four so the overlay pictures keep changing, long bass notes, the
// pluck arpeggio in the foreground.
cScorePattern Breakdown(const std::vector<cChord>& chords, bool buildAtEnd) {
    cWriter w(32);
    w.Pads(0, chords, 56);
    w.Bass(0, chords, "R...............", 48);
    w.Arp(0, chords, 1, 30, 38);
    w.Rhythm(0, 2, kChKick, kInsKick, "x...............", 52, 0);
    w.Rhythm(0, 2, kChClap, kInsClap, kBackbeat, 54, 0);
    w.Rhythm(0, 2, kChHats, kInsClosedHat, "..o...o...o...o.", 0, 18);
    if (buildAtEnd) {
        for (int r = 16; r < 32; ++r) w.Put(r, kChClap, 0, 0);
        Build(w, 1);
        w.Rhythm(1, 1, kChKick, kInsKick, "x...x...x...x...", 50, 0);
    }
    return w.Done();
}

// Orders 10 to 13: the second groove, pluck arpeggios instead of the lead.
cScorePattern GrooveB(const std::vector<cChord>& chords, bool fill) {
    cWriter w(32);
    Groove(w, chords, kRollingBass, true);
    w.Rhythm(0, 2, kChHats, kInsClosedHat, "o.x.o.x.o.x.o.x.", 36, 16);
    w.Arp(0, chords, 1, 34, 42);
    if (fill) w.Melody(24, kChFx, kInsTom, "E4 . C4 . A3 . F3 .", 50);
    return w.Done();
}

// Orders 14 to 17: lead sections over the full groove, stabs (beat) opening
// every bar; the last bar of order 17 builds into the finale.
cScorePattern LeadSection(const char* lead, bool buildAtEnd) {
    cWriter w(64);
    Groove(w, kMain, kRollingBass, true);
    w.Melody(0, kChLead, kInsLead, lead, 50);
    w.Arp(0, kMain, 2, 24, 30);
    w.Stabs(0, kMain, {0}, 60);
    if (buildAtEnd) {
        for (int r = 48; r < 64; ++r) w.Put(r, kChClap, 0, 0);
        for (int r = 48; r < 64; ++r) w.Put(r, kChFx, 0, 0);
        Build(w, 3);
    }
    return w.Done();
}

// Orders 18 to 21: the finale. Every bar has four beats for the scene to
// switch on: stabs on one and the and-of-three, claps on two and four.
cScorePattern Finale(const char* lead, bool crash, bool last) {
    cWriter w(64);
    Groove(w, kMain, kRollingBass, true);
    w.Rhythm(0, 4, kChHats, kInsClosedHat, "o.x.o.x.o.x.o.x.", 36, 16);
    w.Melody(0, kChLead, kInsLead, lead, 52);
    w.Stabs(0, kMain, {0, 10}, 62);
    if (crash) w.Put(0, kChHats, Note("C4"), kInsCrash, 56);
    if (last) {
        // A tom fill over the final bar's second half hands back to order 2.
        for (int r = 56; r < 64; ++r) w.Put(r, kChFx, 0, 0);
        w.Melody(56, kChFx, kInsTom, "E4 . C4 . A3 . F3 .", 52);
    }
    return w.Done();
}

}  // namespace

// Lays out the patterns and the order table.
cScore ComposeSong() {
    cScore s;
    s.name = "Vindelkrok - damp";
    auto add = [&](cScorePattern p) {
        s.patterns.push_back(std::move(p));
        return int(s.patterns.size() - 1);
    };
    const int intro = add(Intro()), pause = add(Break()), grooveIn = add(GrooveIn()), build = add(BuildUp());
    const int drop1 = add(Drop(kLeadA, true)), drop2 = add(Drop(kLeadA2, false));
    const int down1 = add(Breakdown({kF, kG}, false)), down2 = add(Breakdown({kEm, kAm}, false));
    const int down3 = add(Breakdown({kEm, kAm}, true));
    const int grooveB1 = add(GrooveB({kAm, kF}, false)), grooveB2 = add(GrooveB({kC, kG}, false));
    const int grooveB3 = add(GrooveB({kC, kG}, true));
    const int climax1 = add(LeadSection(kLeadB, false)), climax2 = add(LeadSection(kLeadB2, false));
    const int main1 = add(LeadSection(kLeadA, false)), main2 = add(LeadSection(kLeadA2, true));
    const int fin1 = add(Finale(kLeadA, true, false)), fin2 = add(Finale(kLeadA2, false, false));
    const int fin3 = add(Finale(kLeadB, true, false)), fin4 = add(Finale(kLeadB2, false, true));
    s.orders = {intro,    pause,    grooveIn, build,   drop1,   drop2,   down1, down2, down1, down3, grooveB1,
                grooveB2, grooveB1, grooveB3, climax1, climax2, main1,   main2, fin1,  fin2,  fin3,  fin4};
    return s;
}
