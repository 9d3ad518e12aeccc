// Data/damp.xm played by libxmp directly: its length, where each order starts
// against the scenes it drives, the accent under the fixed flash at 24 s, the
// beat instruments 13 and 33, its loop, and that it neither clips nor falls
// silent.
#include "sound/renderer.h"
#include "tests/support/song_scan.h"
#include "tools/instrument_synth.h"
#include "tools/song_score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kRowSeconds = kSongSpeed * 2.5 / kSongBpm;
constexpr double kTick = 2.5 / kSongBpm;

const cSongScan& Scan() {
    static const cSongScan scan = ScanFirstPass(std::string(VK_DATA_DIR) + "/damp.xm");
    return scan;
}

// Start of order k as the composition lays it out.
double PlannedStart(const cScore& score, size_t order) {
    int rows = 0;
    for (size_t k = 0; k < order; ++k) rows += score.patterns[score.orders[k]].rows;
    return rows * kRowSeconds;
}

bool IsBeat(int instrument) { return instrument == kInsClap || instrument == kInsStab; }

}  // namespace

TEST(DataMusic, LoadsWithThirtyThreeInstrumentsAndBeatSoundsAt13And33) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    EXPECT_GE(s.instruments, 33);
    ASSERT_GE(s.names.size(), 33u);
    EXPECT_EQ(s.names[13 - 1], "clap (beat)");
    EXPECT_EQ(s.names[33 - 1], "stab (beat)");
}

TEST(DataMusic, FirstPassLastsTwoToThreeMinutesAndLoopsToOrderTwo) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    std::printf("first pass: %.2f s\n", s.duration);
    EXPECT_GE(s.duration, 120.0);
    EXPECT_LE(s.duration, 180.0);
    EXPECT_EQ(s.restartOrder, kSongRestart);
}

TEST(DataMusic, OrdersPlayInSequenceAndStartWhereTheScriptPutsThem) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    const cScore score = ComposeSong();
    ASSERT_EQ(s.orderSequence.size(), score.orders.size());
    for (size_t k = 0; k < score.orders.size(); ++k) {
        EXPECT_EQ(s.orderSequence[k], int(k));
        std::printf("order %2zu starts at %7.3f s\n", k, s.orderStart[k]);
        EXPECT_NEAR(s.orderStart[k], PlannedStart(score, k), kTick / 2) << "order " << k;
    }
    ASSERT_GE(s.orderStart.size(), 19u);
    // The intro holds the whole intro effect: white light, strobe 4-7 s, the
    // picture sliding away after 7 s.
    EXPECT_GE(s.orderStart[1] - s.orderStart[0], 9.0);
    // The break is short.
    EXPECT_LT(s.orderStart[2] - s.orderStart[1], 2.0);
    // One section per scene group, each long enough to be seen.
    const int groups[][2] = {{2, 3}, {3, 4}, {4, 6}, {6, 10}, {10, 14}, {14, 16}, {16, 18}};
    for (const auto& g : groups)
        EXPECT_GE(s.orderStart[g[1]] - s.orderStart[g[0]], 3.0) << "orders " << g[0] << " to " << g[1] - 1;
}

// The timeline draws a full-white flash centred on 24.0 s whatever plays; the
// music lands its drop there: crash, boom and a beat stab on one row, and a
// jump in loudness.
TEST(DataMusic, AccentFallsOnTheFixedFlashAt24Seconds) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    auto playsAt = [&](int instrument) {
        return std::any_of(s.notes.begin(), s.notes.end(), [&](const cNoteStart& n) {
            return n.instrument == instrument && std::fabs(n.time - 24.0) <= 0.05;
        });
    };
    EXPECT_TRUE(playsAt(kInsCrash));
    EXPECT_TRUE(playsAt(kInsBoom));
    EXPECT_TRUE(playsAt(kInsStab));
    // Loudness of the 100 ms from 24.0 s against the 4 s before it.
    std::vector<double> before;
    double after = 0;
    for (size_t i = 0; i < s.tickTime.size(); ++i) {
        if (s.tickTime[i] >= 20.0 && s.tickTime[i] < 24.0 - 1e-6) before.push_back(s.tickRms[i]);
        if (s.tickTime[i] >= 24.0 - 1e-6 && s.tickTime[i] < 24.1) after = std::max(after, s.tickRms[i]);
    }
    ASSERT_FALSE(before.empty());
    std::sort(before.begin(), before.end());
    const double median = before[before.size() / 2];
    std::printf("RMS at 24.0 s: %.3f, median of the 4 s before: %.3f\n", after, median);
    EXPECT_GT(after, 1.5 * median);
}

TEST(DataMusic, BeatInstrumentsAccentTheSongAndPaceTheFinale) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    std::vector<cNoteStart> beats;
    for (const cNoteStart& n : s.notes)
        if (IsBeat(n.instrument)) beats.push_back(n);
    int clap = 0, stab = 0;
    for (const cNoteStart& b : beats) (b.instrument == kInsClap ? clap : stab)++;
    std::printf("beat triggers in the first pass: %d (instrument 13: %d, instrument 33: %d)\n", int(beats.size()),
                clap, stab);
    EXPECT_GT(clap, 0);
    EXPECT_GT(stab, 0);
    // Accents, not every row: fewer than one per two rows over the song.
    EXPECT_LT(double(beats.size()), s.duration / kRowSeconds / 2);
    // Two beats on one row would skip a scene in the finale's cycle.
    for (size_t i = 1; i < beats.size(); ++i)
        EXPECT_GT(beats[i].time - beats[i - 1].time, kTick) << "at " << beats[i].time << " s";

    double first = -1, last = -1, closest = 1e9;
    int finale = 0;
    for (size_t i = 0; i < beats.size(); ++i) {
        if (beats[i].order < 18) continue;
        if (first < 0) first = beats[i].time;
        else closest = std::min(closest, beats[i].time - last);
        last = beats[i].time;
        ++finale;
    }
    ASSERT_GE(finale, 2);
    const double mean = (last - first) / (finale - 1);
    std::printf("finale: %d triggers, mean spacing %.3f s, closest %.3f s\n", finale, mean, closest);
    EXPECT_GE(mean, 0.2);
    EXPECT_GE(closest, 0.2);
}

TEST(DataMusic, NeverClipsAndIsNeverSilentLongerThanTheBreak) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    std::printf("peak %.3f of full scale\n", s.peak);
    EXPECT_LT(s.peak, 0.98);
    const double breakLength = s.orderStart[2] - s.orderStart[1];
    double quietSince = -1, longest = 0;
    for (size_t i = 0; i < s.tickTime.size(); ++i) {
        const bool quiet = s.tickRms[i] < 0.003;  // about -50 dB
        if (quiet && quietSince < 0) quietSince = s.tickTime[i];
        if (!quiet) quietSince = -1;
        if (quietSince >= 0) longest = std::max(longest, s.tickTime[i] + kTick - quietSince);
    }
    EXPECT_LE(longest, breakLength);
}

// The demo hears the beat through its own sound layer: it must report the
// same triggers of 13 and 33, at the same times, as libxmp shows.
TEST(DataMusic, TheDemosSoundLayerHearsTheSameBeats) {
    const cSongScan& s = Scan();
    ASSERT_TRUE(s.loaded);
    std::vector<double> expected;
    for (const cNoteStart& n : s.notes)
        if (IsBeat(n.instrument)) expected.push_back(n.time);

    cRenderer renderer;
    ASSERT_EQ(renderer.LoadFile((std::string(VK_DATA_DIR) + "/damp.xm").c_str()), 0);
    ASSERT_TRUE(renderer.Start(22050));
    std::vector<int16_t> pcm(2 * 2205);
    std::vector<cSoundEvent> events;
    std::vector<double> heard;
    int lastOrder = 0;
    bool looped = false;
    while (!looped && renderer.Position() < int64_t(200 * 22050)) {
        events.clear();
        renderer.Render(pcm.data(), 2205, events);
        for (const cSoundEvent& e : events) {
            if (e.kind == cSoundEvent::cKind::kOrder) {
                looped = looped || e.order < lastOrder;
                lastOrder = e.order;
            } else if (!looped && IsBeat(e.instrument)) {
                heard.push_back(double(e.sample) / 22050);
            }
        }
    }
    ASSERT_TRUE(looped);
    ASSERT_EQ(heard.size(), expected.size());
    for (size_t i = 0; i < heard.size(); ++i) EXPECT_NEAR(heard[i], expected[i], kTick) << "beat " << i;
}
