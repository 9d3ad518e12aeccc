// Stills of vindelkrok-capture against the demo's own pixel-test references:
// the same renderer (Mesa's llvmpipe) and the same inputs, so the same
// frames. Each still comes from a test module timed so that at the still's
// song time the order, beat time and beat count are those the pixel test
// sets by hand, and the frame before it shows what the pixel test drew
// before (the intro, or the composition the song plays before); the data
// files are the pixel test's own.
//
// The inputs mirror tests/effects/scenes_pixel_test.cpp (song time 50.3,
// last beat 0.42 s before, beat count 5), picture_scenes_pixel_test.cpp (the
// intro at 2.0 s, composition 4 at 30.0 with beats at 10.0 and count 2) and
// tests/model3ds/composition6_pixel_test.cpp (3.5 s, beat at 3.0), with the
// same tolerances.
#include "sound/renderer.h"
#include "tests/support/capture_kit.h"
#include "tests/support/scene_data.h"
#include "tests/support/test_modules.h"
#include "model3ds/model3ds_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace capturetest;

namespace {

// ---- Timed test songs ------------------------------------------------------

// At 125 BPM a tick is 0.02 s: 960 samples at the capture's 48000 Hz.
constexpr int kBpm = 125;
constexpr int kTickSamples = 960;
constexpr int kTicksPerSecond = 50;
constexpr int kMaxSpeed = 31;
// Channels: 0 sets each row's length (Fxx), 1 jumps (Bxx), 2 plays the beats.
constexpr int kSpeedChannel = 0, kJumpChannel = 1, kBeatChannel = 2;

// A song of the intro's order 0 for `introTicks`, then a jump to
// `firstOrder`; it and the orders after it play for the given numbers of
// ticks, the last for ten seconds more. Instrument 13 beats at the given
// ticks.
struct cTiming {
    int introTicks;
    int firstOrder;
    std::vector<int> orderTicks;
    std::vector<int> beats;
};

// Rows for the ticks [from, to) of one order: one starts at every beat, none
// is longer than the longest speed.
cXmPattern TimedPattern(int from, int to, const std::vector<int>& beats, int jump) {
    std::vector<int> starts;
    for (int t = from; t < to;) {
        starts.push_back(t);
        int next = std::min(to, t + kMaxSpeed);
        for (int b : beats)
            if (b > t && b < next) next = b;
        t = next;
    }
    cXmPattern p(int(starts.size()), 3);
    for (size_t r = 0; r < starts.size(); ++r) {
        const int end = r + 1 < starts.size() ? starts[r + 1] : to;
        p.At(int(r), kSpeedChannel).effect = 0x0f;
        p.At(int(r), kSpeedChannel).param = uint8_t(end - starts[r]);
        if (std::find(beats.begin(), beats.end(), starts[r]) != beats.end()) p.At(int(r), kBeatChannel) = Note(13);
    }
    if (jump >= 0) {
        p.At(p.Rows() - 1, kJumpChannel).effect = 0x0b;
        p.At(p.Rows() - 1, kJumpChannel).param = uint8_t(jump);
    }
    return p;
}

cXmModule TimedSong(const cTiming& timing) {
    cXmModule m = TestModule(3, 33, 0, 1, 1, kBpm);
    m.patterns.push_back(TimedPattern(0, timing.introTicks, timing.beats, timing.firstOrder));
    m.patterns.push_back(cXmPattern(1, 3));  // the orders jumped over
    m.orders.assign(size_t(timing.firstOrder), 1);
    m.orders[0] = 0;
    std::vector<int> lengths = timing.orderTicks;
    lengths.push_back(10 * kTicksPerSecond);
    int from = timing.introTicks;
    for (int ticks : lengths) {
        m.orders.push_back(uint8_t(m.patterns.size()));
        m.patterns.push_back(TimedPattern(from, from + ticks, timing.beats, -1));
        from += ticks;
    }
    return m;
}

// The orders and beats the song's events say, at their samples.
std::vector<std::pair<int, int64_t>> Heard(const cXmModule& song, int seconds) {
    const std::vector<uint8_t> bytes = EncodeXm(song);
    cRenderer r;
    r.LoadMemory(bytes.data(), bytes.size());
    r.Start(48000);
    std::vector<int16_t> pcm(size_t(seconds) * 48000 * 2);
    std::vector<cSoundEvent> events;
    r.Render(pcm.data(), seconds * 48000, events);
    std::vector<std::pair<int, int64_t>> heard;
    for (const cSoundEvent& e : events)
        heard.push_back({e.kind == cSoundEvent::cKind::kOrder ? e.order : -e.instrument, e.sample});
    return heard;
}

// ---- The pixel tests' data -------------------------------------------------

// The pictures and model of the pixel tests (tests/support/scene_data.h).
void WriteFloorModel(const std::string& data) { ASSERT_TRUE(Save3ds(data + "/rongert2.3DS", scenedata::Floor())); }

// ---- Comparison ------------------------------------------------------------

// "" when at most maxDiffering pixels of the still have a channel off by
// more than tolerance from the reference, otherwise what differs.
std::string MatchesReference(const cImage& still, const std::string& name, int tolerance, int maxDiffering) {
    const cImage reference = ReadPng(std::string(VK_SOURCE_DIR) + "/tests/reference/" + name + ".png");
    if (reference.rgb.empty()) return "no reference " + name;
    if (still.width != reference.width || still.height != reference.height) return name + ": size differs";
    int differing = 0, largest = 0;
    for (size_t i = 0; i < still.rgb.size(); i += 3) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(still.rgb[i + c] - reference.rgb[i + c]));
        largest = std::max(largest, worst);
        differing += worst > tolerance;
    }
    if (differing <= maxDiffering) return "";
    return name + ": " + std::to_string(differing) + " pixels differ by more than " + std::to_string(tolerance) +
           " (largest " + std::to_string(largest) + ")";
}

class CaptureStills : public ::testing::Test {
protected:
    void SetUp() override { dir = MakeWorkDirectory(); }
    void TearDown() override { RemoveDirectory(dir); }
    // Captures the stills at the song times from the song, at 60 fps, into
    // a directory of their own; the one at `time`.
    cImage Still(const cXmModule& song, const std::string& time, const std::string& times) {
        WriteBytes(dir + "/Data/damp.xm", EncodeXm(song));
        stills = "stills" + std::to_string(++captures);
        std::string log;
        EXPECT_EQ(RunCapture(dir, "--stills " + times + " --output " + stills, log), 0) << log;
        return ReadPng(dir + "/" + stills + "/still-" + time + ".png");
    }
    std::string dir, stills;
    int captures = 0;
};

// scenes_pixel_test.cpp's song time, last beat and beat count.
constexpr int kSceneTick = 2515;                  // 50.3 s
const std::vector<int> kSceneBeats = {100, 200, 300, 400, 2494};  // the last at 49.88 s

}  // namespace

TEST(TimedSong, OrdersAndBeatsFallOnTheirTicks) {
    const cXmModule song = TimedSong({kSceneTick - 5, 2, {4, 1}, kSceneBeats});
    const std::vector<std::pair<int, int64_t>> heard = Heard(song, 52);
    const std::vector<std::pair<int, int64_t>> expected = {
        {0, 0},
        {-13, 100 * kTickSamples},
        {-13, 200 * kTickSamples},
        {-13, 300 * kTickSamples},
        {-13, 400 * kTickSamples},
        {-13, 2494 * kTickSamples},
        {2, 2510 * kTickSamples},
        {3, 2514 * kTickSamples},
        {4, 2515 * kTickSamples}};
    EXPECT_EQ(heard, expected);
}

TEST_F(CaptureStills, IntroAndCompositionFourMatchTheirReferences) {
    scenedata::WritePictures(dir + "/Data");
    const cXmModule song = TimedSong({30 * kTicksPerSecond, 6, {}, {5 * kTicksPerSecond, 10 * kTicksPerSecond}});
    const cImage intro = Still(song, "2", "2,30");
    EXPECT_EQ(MatchesReference(intro, "intro_at_2s", 8, 400), "");
    EXPECT_EQ(MatchesReference(ReadPng(dir + "/" + stills + "/still-30.png"), "composition4_overlay", 8, 400), "");
}

TEST_F(CaptureStills, CompositionsOneTwoThreeAndFiveMatchTheirReferences) {
    const int tolerance = 4, maxDiffering = 800 * 600 / 1000;
    // Compositions 2 and 3 draw with the lighting and blending the frame
    // before them left: in the pixel test a frame of the composition the
    // song plays before, drawn with both off. Here composition 1 (order 2)
    // turns off what the intro left on, then the song moves on to order 3
    // one frame before the still (50.2833 s), and to order 4 at it.
    EXPECT_EQ(MatchesReference(Still(TimedSong({kSceneTick, 2, {}, kSceneBeats}), "50.3", "50.3"),
                               "scene_composition1", tolerance, maxDiffering), "");
    EXPECT_EQ(MatchesReference(Still(TimedSong({kSceneTick - 5, 2, {5}, kSceneBeats}), "50.3", "50.3"),
                               "scene_composition2", tolerance, maxDiffering), "");
    EXPECT_EQ(MatchesReference(Still(TimedSong({kSceneTick - 5, 2, {4, 1}, kSceneBeats}), "50.3", "50.3"),
                               "scene_composition3", tolerance, maxDiffering), "");
    EXPECT_EQ(MatchesReference(Still(TimedSong({kSceneTick, 10, {}, kSceneBeats}), "50.3", "50.3"),
                               "scene_composition5", tolerance, maxDiffering), "");
}

TEST_F(CaptureStills, CompositionSixWithTheModelMatchesItsReference) {
    WriteFloorModel(dir + "/Data");
    // The beat at 3.0 s starts order 14; the still half a second later.
    const cXmModule song = TimedSong({3 * kTicksPerSecond, 14, {}, {3 * kTicksPerSecond}});
    EXPECT_EQ(MatchesReference(Still(song, "3.5", "3.5"), "model3ds_composition6", 2, 100), "");
}
