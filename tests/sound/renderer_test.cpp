// The renderer offline: which notes count as an instrument being played,
// where triggers and order changes are stamped, looping from the restart
// position, and output that does not depend on how it is sliced.
#include "sound/renderer.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace {

constexpr int kSpeed = 4;
constexpr int kBpm = 125;
constexpr int kTick = TickFrames(kBpm);  // 441 frames
constexpr int kRow = kSpeed * kTick;

struct cHeard {
    int instrument;
    int64_t sample;
    bool operator==(const cHeard& o) const { return instrument == o.instrument && sample == o.sample; }
};
std::ostream& operator<<(std::ostream& os, const cHeard& h) {
    return os << "instrument " << h.instrument << " at " << h.sample;
}

// The triggers of one pass through a one-pattern module.
std::vector<cHeard> Heard(const cXmModule& m) {
    std::vector<cHeard> heard;
    for (const cSoundEvent& e : Triggers(RenderEvents(m, m.patterns[0].Rows() * kRow)))
        heard.push_back({e.instrument, e.sample});
    return heard;
}

cXmModule OnePattern(int channels, int instruments) { return TestModule(channels, instruments, 1, 8, kSpeed, kBpm); }

}  // namespace

TEST(RendererTriggers, NoteNamingItsInstrumentTriggersIt) {
    cXmModule m = OnePattern(1, 3);
    m.patterns[0].At(2, 0) = Note(3);
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{3, 2 * kRow}}));
}

TEST(RendererTriggers, NoteWithoutInstrumentTriggersTheOneItsChannelCarries) {
    cXmModule m = OnePattern(2, 3);
    m.patterns[0].At(0, 0) = Note(2);
    m.patterns[0].At(1, 1) = Note(3);
    m.patterns[0].At(4, 0) = Note(0);
    m.patterns[0].At(5, 1) = Note(0);
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{2, 0}, {3, kRow}, {2, 4 * kRow}, {3, 5 * kRow}}));
}

TEST(RendererTriggers, SameInstrumentOnTwoChannelsOfARowTriggersTwice) {
    cXmModule m = OnePattern(2, 1);
    m.patterns[0].At(3, 0) = Note(1);
    m.patterns[0].At(3, 1) = Note(1);
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{1, 3 * kRow}, {1, 3 * kRow}}));
}

TEST(RendererTriggers, InstrumentsThirtyThreeAndThirteenOnOneRowTriggerBoth) {
    cXmModule m = OnePattern(4, 33);
    m.patterns[0].At(1, 0) = Note(33);
    m.patterns[0].At(1, 3) = Note(13);
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{33, kRow}, {13, kRow}}));
}

TEST(RendererTriggers, NoteDelayTriggersAtItsTick) {
    cXmModule m = OnePattern(1, 1);
    m.patterns[0].At(2, 0) = Note(1, 0x0e, 0xd2);
    m.patterns[0].At(4, 0) = Note(1, 0x0e, 0xd3);  // the last tick of the row
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{1, 2 * kRow + 2 * kTick}, {1, 4 * kRow + 3 * kTick}}));
}

TEST(RendererTriggers, NoteDelayOfTheSpeedOrMoreNeverTriggers) {
    cXmModule m = OnePattern(1, 1);
    m.patterns[0].At(2, 0) = Note(1, 0x0e, 0xd0 + kSpeed);
    m.patterns[0].At(4, 0) = Note(1, 0x0e, 0xdf);
    EXPECT_EQ(Heard(m), std::vector<cHeard>{});
}

TEST(RendererTriggers, KeyOffAndInstrumentWithoutNoteDoNotTrigger) {
    cXmModule m = OnePattern(1, 2);
    m.patterns[0].At(0, 0) = Note(1);
    m.patterns[0].At(2, 0).note = kXmKeyOff;
    m.patterns[0].At(3, 0).instrument = 2;
    m.patterns[0].At(5, 0).note = kXmKeyOff;
    m.patterns[0].At(5, 0).instrument = 1;
    // The instrument named without a note (row 3) is the one the channel
    // carries on; a key-off's instrument number changes nothing (libxmp
    // follows FastTracker II there).
    m.patterns[0].At(6, 0) = Note(0);
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{1, 0}, {2, 6 * kRow}}));
}

TEST(RendererTriggers, TonePortamentoInAnyFormDoesNotTrigger) {
    cXmModule m = OnePattern(1, 2);
    m.patterns[0].At(0, 0) = Note(1);
    m.patterns[0].At(1, 0) = Note(2, 0x03, 0x20);  // 3xx
    m.patterns[0].At(2, 0) = Note(2, 0x05, 0x01);  // 5xy
    m.patterns[0].At(3, 0) = Note(2);
    m.patterns[0].At(3, 0).volume = 0xf4;          // volume column Mx
    m.patterns[0].At(4, 0) = Note(0, 0x03, 0x00);  // 300 keeps sliding
    m.patterns[0].At(5, 0) = Note(0);
    // Tone portamento leaves the sounding note's instrument alone in libxmp.
    EXPECT_EQ(Heard(m), (std::vector<cHeard>{{1, 0}, {1, 5 * kRow}}));
}

// Notes that start no sample in libxmp, on rows 2 and 3 (the latter carries
// the instrument of row 2) and row 6 (carries the number row 5 names without
// a note): none is an instrument played, though the channel's previous
// instrument 1 is still set. Row 4 plays instrument 1 again.
TEST(RendererTriggers, NoteThatStartsNoSampleTriggersNothing) {
    constexpr size_t kInstrumentCountAt = 72;  // in the XM header
    // Instrument 5's key map: after its 22-byte name, type, sample count and
    // sample header size.
    const auto mapOfFifth = [](std::vector<uint8_t>& b) {
        const std::string name = "square 5";
        const auto at = std::search(b.begin(), b.end(), name.begin(), name.end()) - b.begin();
        return size_t(at) + 22 + 1 + 2 + 4;
    };
    struct cCase {
        const char* what;
        int instrument;  // on rows 2 and 5
        std::function<void(cXmModule&)> change;
        std::function<void(std::vector<uint8_t>&)> patch;
        std::vector<cHeard> heard;
    };
    const std::vector<cHeard> onlyRowsZeroAndFour{{1, 0}, {1, 4 * kRow}};
    const std::vector<cCase> cases = {
        {"instrument above the count", 5, nullptr,
         [](std::vector<uint8_t>& b) { b[kInstrumentCountAt] = 2; }, onlyRowsZeroAndFour},
        {"instrument without samples", 2, [](cXmModule& m) { m.instruments[1].samples.clear(); }, nullptr,
         onlyRowsZeroAndFour},
        {"sample of length 0", 2,
         [](cXmModule& m) {
             m.instruments[1].samples[0].data8.clear();
             m.instruments[1].samples[0].loop = cXmLoop::kNone;
             m.instruments[1].samples[0].loopLength = 0;
         },
         nullptr, onlyRowsZeroAndFour},
        {"note mapped to no sample", 5, nullptr,
         [&](std::vector<uint8_t>& b) { b[mapOfFifth(b) + XmNote(4, 0) - 1] = 3; }, onlyRowsZeroAndFour},
        {"note transposed out of range", 2, [](cXmModule& m) { m.instruments[1].samples[0].relativeNote = 90; },
         nullptr, onlyRowsZeroAndFour},
        {"note next to K00", 1, [](cXmModule& m) { m.patterns[0].At(2, 0).effect = 0x14; }, nullptr,
         {{1, 0}, {1, 3 * kRow}, {1, 4 * kRow}, {1, 6 * kRow}}},
    };
    for (const cCase& c : cases) {
        cXmModule m = OnePattern(1, 5);
        m.patterns[0].At(0, 0) = Note(1);
        m.patterns[0].At(2, 0) = Note(c.instrument);
        m.patterns[0].At(3, 0) = Note(0);
        m.patterns[0].At(4, 0) = Note(1);
        m.patterns[0].At(5, 0).instrument = uint8_t(c.instrument);
        m.patterns[0].At(6, 0) = Note(0);
        if (c.change) c.change(m);
        std::vector<uint8_t> bytes = EncodeXm(m);
        ASSERT_FALSE(bytes.empty()) << c.what;
        if (c.patch) c.patch(bytes);
        std::vector<cHeard> heard;
        for (const cSoundEvent& e : Triggers(RenderEvents(bytes, 8 * kRow))) heard.push_back({e.instrument, e.sample});
        EXPECT_EQ(heard, c.heard) << c.what;
    }
}

TEST(RendererOrders, StampsEachOrderChangeAtTheFirstFrameOfItsOrder) {
    cXmModule m = TestModule(1, 1, 3, 4, kSpeed, kBpm);
    m.patterns[1] = cXmPattern(8, 1);
    std::vector<std::pair<int, int64_t>> orders;
    for (const cSoundEvent& e : RenderEvents(m, 16 * kRow))
        if (e.kind == cSoundEvent::cKind::kOrder) orders.push_back({e.order, e.sample});
    EXPECT_EQ(orders, (std::vector<std::pair<int, int64_t>>{{0, 0}, {1, 4 * kRow}, {2, 12 * kRow}}));
}

TEST(RendererOrders, SongLoopsFromItsRestartPosition) {
    cXmModule m = TestModule(1, 2, 3, 4, kSpeed, kBpm);
    m.restart = 1;
    m.patterns[0].At(0, 0) = Note(1);
    m.patterns[2].At(1, 0) = Note(2);
    std::vector<std::pair<int, int64_t>> orders;
    std::vector<std::pair<int, int64_t>> triggers;
    for (const cSoundEvent& e : RenderEvents(m, 20 * kRow)) {
        if (e.kind == cSoundEvent::cKind::kOrder) orders.push_back({e.order, e.sample});
        else triggers.push_back({e.instrument, e.sample});
    }
    EXPECT_EQ(orders, (std::vector<std::pair<int, int64_t>>{
                          {0, 0}, {1, 4 * kRow}, {2, 8 * kRow}, {1, 12 * kRow}, {2, 16 * kRow}}));
    EXPECT_EQ(triggers, (std::vector<std::pair<int, int64_t>>{{1, 0}, {2, 9 * kRow}, {2, 17 * kRow}}));
}

// Loads the module into r and starts it at the test rate.
void LoadAndStart(cRenderer& r, const cXmModule& m) {
    const std::vector<uint8_t> bytes = EncodeXm(m);
    ASSERT_EQ(r.LoadMemory(bytes.data(), bytes.size()), 0);
    ASSERT_TRUE(r.Start(kTestRate));
}

TEST(RendererOrders, FirstPassEndsWhereTheSongComesBackToItsRestartPosition) {
    cXmModule m = TestModule(1, 1, 3, 4, kSpeed, kBpm);
    m.restart = 1;
    cRenderer r;
    ASSERT_NO_FATAL_FAILURE(LoadAndStart(r, m));
    std::vector<int16_t> pcm(2 * 12 * kRow);
    std::vector<cSoundEvent> events;
    r.Render(pcm.data(), 12 * kRow, events);
    EXPECT_EQ(r.FirstPassEnd(), -1);  // the last row of the pass, not yet past it
    r.Render(pcm.data(), 8 * kRow, events);
    EXPECT_EQ(r.FirstPassEnd(), 12 * kRow);
    ASSERT_TRUE(r.Start(kTestRate));
    EXPECT_EQ(r.FirstPassEnd(), -1);
}

TEST(RendererOrders, JumpBackToAnEarlierOrderEndsTheFirstPass) {
    cXmModule m = TestModule(1, 1, 3, 4, kSpeed, kBpm);
    m.patterns[1].At(3, 0).effect = 0x0b;  // B00 on the last row of order 1
    cRenderer r;
    ASSERT_NO_FATAL_FAILURE(LoadAndStart(r, m));
    std::vector<int16_t> pcm(2 * 12 * kRow);
    std::vector<cSoundEvent> events;
    r.Render(pcm.data(), 12 * kRow, events);
    EXPECT_EQ(r.FirstPassEnd(), 8 * kRow);
}

TEST(Renderer, OutputDoesNotDependOnHowItIsSliced) {
    cXmModule m = TestModule(2, 2, 2, 8, 3, 200);
    for (int row = 0; row < 8; ++row) m.patterns[row % 2].At(row, row % 2) = Note(1 + row % 2);
    const std::vector<uint8_t> bytes = EncodeXm(m);
    const int frames = 40000;

    cRenderer whole;
    ASSERT_EQ(whole.LoadMemory(bytes.data(), bytes.size()), 0);
    ASSERT_TRUE(whole.Start(kTestRate));
    std::vector<int16_t> pcmWhole(2 * frames);
    std::vector<cSoundEvent> eventsWhole;
    whole.Render(pcmWhole.data(), frames, eventsWhole);

    cRenderer sliced;
    ASSERT_EQ(sliced.LoadMemory(bytes.data(), bytes.size()), 0);
    ASSERT_TRUE(sliced.Start(kTestRate));
    std::vector<int16_t> pcmSliced(2 * frames);
    std::vector<cSoundEvent> eventsSliced;
    std::mt19937 random(7);
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, int(random() % 700) + 1);
        sliced.Render(pcmSliced.data() + 2 * done, n, eventsSliced);
        done += n;
        EXPECT_EQ(sliced.Position(), done);
    }
    EXPECT_EQ(pcmSliced, pcmWhole);
    ASSERT_EQ(eventsSliced.size(), eventsWhole.size());
    for (size_t i = 0; i < eventsWhole.size(); ++i) {
        EXPECT_EQ(eventsSliced[i].sample, eventsWhole[i].sample) << i;
        EXPECT_EQ(eventsSliced[i].instrument, eventsWhole[i].instrument) << i;
    }
    EXPECT_GT(Triggers(eventsWhole).size(), 8u);
}

TEST(Renderer, StartingAgainPlaysFromTheTop) {
    cXmModule m = TestModule(1, 1, 2, 4, kSpeed, kBpm);
    m.patterns[0].At(0, 0) = Note(1);
    const std::vector<uint8_t> bytes = EncodeXm(m);
    cRenderer r;
    ASSERT_EQ(r.LoadMemory(bytes.data(), bytes.size()), 0);
    std::vector<int16_t> pcm(2 * 3000);
    std::vector<cSoundEvent> events;
    r.Render(pcm.data(), 3000, events);  // not started: silence, nothing happens
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(pcm, std::vector<int16_t>(2 * 3000));
    ASSERT_TRUE(r.Start(kTestRate));
    r.Render(pcm.data(), 3000, events);
    const std::vector<int16_t> first = pcm;
    ASSERT_TRUE(r.Start(kTestRate));
    EXPECT_EQ(r.Position(), 0);
    std::vector<cSoundEvent> again;
    r.Render(pcm.data(), 3000, again);
    EXPECT_EQ(pcm, first);
    ASSERT_EQ(again.size(), events.size());
    EXPECT_NE(first, std::vector<int16_t>(2 * 3000));  // the note is audible
}

TEST(Renderer, LoadingSaysWhatIsWrongWithTheData) {
    const std::string text = "This is a shopping list, not a module: milk, bread, forty-two eggs.";
    std::vector<uint8_t> module = EncodeXm(TestModule(1, 1, 1, 8, kSpeed, kBpm));
    cRenderer r;
    EXPECT_EQ(r.LoadMemory(text.data(), text.size()), 10);
    EXPECT_EQ(r.LoadMemory(module.data(), 0), 10);
    EXPECT_EQ(r.LoadMemory(module.data(), 200), 11);  // cut inside the song header
    EXPECT_FALSE(r.Loaded());
    // A module of another format is refused before libxmp loads it: this
    // damaged MOD crashes libxmp 4.5's player.
    EXPECT_EQ(r.LoadFile(VK_SOURCE_DIR "/tests/sound/libxmp_crashes/play_frame_segv.mod"), 10);
    EXPECT_FALSE(r.Loaded());
    EXPECT_EQ(r.LoadMemory(module.data(), module.size()), 0);
    EXPECT_EQ(r.InstrumentCount(), 1);
    EXPECT_EQ(r.ChannelCount(), 1);
}
