// The C calls, playing in real time on SDL's dummy driver: instrument
// callbacks and orders when they are heard, looping, stopping, and the error
// codes of failing calls.
#include "sound/latency.h"
#include "sound/song_seek.h"
#include "sound/sound.h"
#include "tests/support/output_probe.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

using cClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kSpeed = 2;
constexpr int kBpm = 225;
constexpr int kRowFrames = kSpeed * TickFrames(kBpm);  // 490 frames, 22.2 ms

// Orders 0, 1, 2 of 8 rows (178 ms) each, restarting at order 1;
// instruments 1-4 on chosen rows and channels, a delayed note and a carried
// instrument.
cXmModule Song() {
    cXmModule m = TestModule(2, 4, 3, 8, kSpeed, kBpm);
    m.restart = 1;
    m.patterns[0].At(0, 0) = Note(1);
    m.patterns[0].At(2, 1) = Note(2);
    m.patterns[0].At(4, 0) = Note(3);
    m.patterns[0].At(4, 1) = Note(4);
    m.patterns[0].At(6, 0) = Note(2, 0x0e, 0xd1);
    m.patterns[1].At(1, 0) = Note(1);
    m.patterns[2].At(0, 1) = Note(0);  // carries instrument 4
    m.patterns[2].At(2, 0) = Note(3);
    return m;
}

struct cCall {
    int instrument;
    cClock::time_point at;
    bool onMainThread;
};

std::mutex gCallsMutex;
std::vector<cCall> gCalls;
std::thread::id gMainThread;
std::atomic<int> gCallbackSleepMs{0};
std::atomic<bool> gInCallback{false};

void Record(FMUSIC_MODULE*, unsigned char instrument) {
    gInCallback = true;
    {
        std::lock_guard<std::mutex> lock(gCallsMutex);
        gCalls.push_back({instrument, cClock::now(), std::this_thread::get_id() == gMainThread});
    }
    std::this_thread::sleep_for(milliseconds(gCallbackSleepMs.load()));
    gInCallback = false;
}

size_t CallCount() {
    std::lock_guard<std::mutex> lock(gCallsMutex);
    return gCalls.size();
}

// Waits up to 3 s for n calls.
bool WaitForCalls(size_t n) {
    const cClock::time_point end = cClock::now() + std::chrono::seconds(3);
    while (CallCount() < n && cClock::now() < end) std::this_thread::sleep_for(milliseconds(1));
    return CallCount() >= n;
}

// How long after the output consumed frames[i] each observed[i] happened,
// in seconds, for a song whose first buffer was number `first`.
std::vector<double> Lateness(const std::vector<cClock::time_point>& observed, const std::vector<int64_t>& frames,
                             size_t first) {
    std::vector<double> late;
    for (size_t i = 0; i < observed.size() && i < frames.size(); ++i)
        late.push_back(std::chrono::duration<double>(observed[i] - outputprobe::Consumed(frames[i], first, kTestRate)).count());
    return late;
}

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Observations follow the output: their median lateness is neither below
// zero (a release when the note is mixed, or at the start of its buffer, is
// about half a 23 ms buffer early) nor above a few milliseconds. On a busy
// machine single observations lag by up to a scheduling delay, hence the
// median; bench_sound_sync measures the accuracy itself.
// `offset`: seconds the releases are meant to come after the output
// consumed the frames.
void ExpectHeardOnTime(const std::vector<double>& lateness, double offset = 0) {
    ASSERT_FALSE(lateness.empty());
    std::string all;
    for (double late : lateness) all += std::to_string(late * 1000) + " ms ";
    EXPECT_GT(Median(lateness), offset - 0.001) << all;
    EXPECT_LT(Median(lateness), offset + 0.010) << all;
}

class SoundApi : public testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        gMainThread = std::this_thread::get_id();
        ASSERT_EQ(FSOUND_Init(22050, 16, 2), 1);
        songPath = new std::string(WriteTestModule(Song(), "song.xm"));
    }
    void SetUp() override {
        std::lock_guard<std::mutex> lock(gCallsMutex);
        gCalls.clear();
        gCallbackSleepMs = 0;
    }
    FMUSIC_MODULE* LoadSong() {
        FMUSIC_MODULE* song = FMUSIC_LoadSong(songPath->c_str());
        EXPECT_NE(song, nullptr);
        return song;
    }
    static std::string* songPath;
};
std::string* SoundApi::songPath = nullptr;

}  // namespace

TEST_F(SoundApi, CallsBackForEveryTriggerOfItsInstrumentsInOrderWhenHeard) {
    // The triggers of orders 0, 1, 2, 1, sample-exact, from the renderer offline.
    std::vector<cSoundEvent> expected;
    for (const cSoundEvent& e : Triggers(RenderEvents(Song(), 32 * kRowFrames)))
        if (e.instrument != 4) expected.push_back(e);
    ASSERT_EQ(expected.size(), 7u);  // 4 in order 0, then 1 in each later order

    FMUSIC_MODULE* song = LoadSong();
    for (int instrument : {1, 2, 3}) ASSERT_EQ(FMUSIC_SetInstCallback(song, Record, instrument), 1);
    const size_t first = outputprobe::TakenCount();
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    ASSERT_TRUE(WaitForCalls(expected.size()));
    FMUSIC_FreeSong(song);

    std::lock_guard<std::mutex> lock(gCallsMutex);
    std::vector<cClock::time_point> heard;
    std::vector<int64_t> frames;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(gCalls[i].instrument, expected[i].instrument) << "call " << i;
        EXPECT_FALSE(gCalls[i].onMainThread);
        heard.push_back(gCalls[i].at);
        frames.push_back(expected[i].sample);
    }
    ExpectHeardOnTime(Lateness(heard, frames, first));
}

TEST_F(SoundApi, PlayingFromAFrameReportsItsOrderAtOnceAndCallsBackOnlyForLaterNotes) {
    // Order 1 begins on row 8 (its first note on row 9), order 2 on row 16
    // with a note of the carried instrument 4, then instrument 3 on row 18.
    struct cCase {
        int64_t frame;
        int order, nextInstrument;
    } const cases[] = {{8 * kRowFrames, 1, 1}, {8 * kRowFrames - 1, 0, 1},
                       {16 * kRowFrames, 2, 3}, {16 * kRowFrames - 1, 1, 4}};
    for (const cCase& c : cases) {
        SetUp();
        FMUSIC_MODULE* song = LoadSong();
        for (int instrument : {1, 2, 3, 4}) ASSERT_EQ(FMUSIC_SetInstCallback(song, Record, instrument), 1);
        ASSERT_EQ(FMUSIC_PlaySongFrom(song, c.frame), 1);
        EXPECT_EQ(FMUSIC_GetOrder(song), c.order) << "from frame " << c.frame;
        ASSERT_TRUE(WaitForCalls(1));
        EXPECT_GT(FMUSIC_GetHeardFrame(song), c.frame);
        FMUSIC_FreeSong(song);
        std::lock_guard<std::mutex> lock(gCallsMutex);
        EXPECT_EQ(gCalls[0].instrument, c.nextInstrument) << "from frame " << c.frame;
    }
}

TEST_F(SoundApi, LatencyOffsetFromTheEnvironmentMovesEveryReleaseByItsAmount) {
    std::vector<int64_t> frames;
    for (const cSoundEvent& e : Triggers(RenderEvents(Song(), 8 * kRowFrames))) frames.push_back(e.sample);
    ASSERT_EQ(frames.size(), 5u);  // the triggers of order 0
    // Positive offsets: the dummy driver consumes a buffer when it takes it,
    // so nothing can be released earlier than that.
    for (double offsetMs : {60.0, 25.0}) {
        FSOUND_Close();
        setenv("VK_SOUND_LATENCY_OFFSET_MS", std::to_string(offsetMs).c_str(), 1);
        ASSERT_EQ(FSOUND_Init(22050, 16, 2), 1);
        unsetenv("VK_SOUND_LATENCY_OFFSET_MS");
        EXPECT_EQ(SoundOutputLatency().Total(), offsetMs / 1000);  // the dummy driver adds nothing

        {
            std::lock_guard<std::mutex> lock(gCallsMutex);
            gCalls.clear();
        }
        FMUSIC_MODULE* song = LoadSong();
        for (int instrument : {1, 2, 3, 4}) FMUSIC_SetInstCallback(song, Record, instrument);
        const size_t first = outputprobe::TakenCount();
        ASSERT_EQ(FMUSIC_PlaySong(song), 1);
        ASSERT_TRUE(WaitForCalls(frames.size()));
        FMUSIC_FreeSong(song);
        std::lock_guard<std::mutex> lock(gCallsMutex);
        std::vector<cClock::time_point> heard;
        for (size_t i = 0; i < frames.size(); ++i) heard.push_back(gCalls[i].at);
        ExpectHeardOnTime(Lateness(heard, frames, first), offsetMs / 1000);
    }
    FSOUND_Close();
    ASSERT_EQ(FSOUND_Init(22050, 16, 2), 1);
    EXPECT_EQ(SoundOutputLatency().offset, 0.0);
}

TEST(LatencyOffset, OnlyFiniteMillisecondsWithinASecondAreTaken) {
    const struct {
        const char* text;
        bool taken;
        double ms;
    } cases[] = {
        {"25", true, 25},       {"-12.5", true, -12.5}, {" 40 ", true, 40},   {"1000", true, 1000},
        {"1000.5", false, 0},   {"-2000", false, 0},    {"nan", false, 0},    {"inf", false, 0},
        {"1e400", false, 0},    {"", false, 0},         {"20ms", false, 0},   {"abc", false, 0},
    };
    for (const auto& c : cases) {
        double ms = 99;
        EXPECT_EQ(ParseLatencyOffsetMs(c.text, ms), c.taken) << c.text;
        EXPECT_EQ(ms, c.ms) << c.text;
    }
    double ms = 99;
    EXPECT_FALSE(ParseLatencyOffsetMs(nullptr, ms));
    EXPECT_EQ(ms, 0.0);
}

TEST_F(SoundApi, OrderAdvancesThroughTheOrdersAndLoopsFromTheRestart) {
    std::vector<int> expectedOrders;
    std::vector<int64_t> frames;
    for (const cSoundEvent& e : RenderEvents(Song(), 48 * kRowFrames))
        if (e.kind == cSoundEvent::cKind::kOrder && e.order != 0) {
            expectedOrders.push_back(e.order);
            frames.push_back(e.sample);
        }
    ASSERT_EQ(expectedOrders, (std::vector<int>{1, 2, 1, 2, 1}));

    FMUSIC_MODULE* song = LoadSong();
    EXPECT_EQ(FMUSIC_GetOrder(song), 0);
    const size_t first = outputprobe::TakenCount();
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    std::vector<int> orders;
    std::vector<cClock::time_point> changed;
    int order = 0;
    const cClock::time_point end = cClock::now() + std::chrono::seconds(3);
    while (orders.size() < expectedOrders.size() && cClock::now() < end) {
        const int now = FMUSIC_GetOrder(song);
        if (now != order) {
            orders.push_back(order = now);
            changed.push_back(cClock::now());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    FMUSIC_FreeSong(song);

    EXPECT_EQ(orders, expectedOrders);
    ExpectHeardOnTime(Lateness(changed, frames, first));
}

TEST_F(SoundApi, NoCallbackRunsOnceStopSongHasReturned) {
    FMUSIC_MODULE* song = LoadSong();
    for (int instrument : {1, 2, 3, 4}) FMUSIC_SetInstCallback(song, Record, instrument);
    gCallbackSleepMs = 15;  // likely to be inside a callback when stopping
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    ASSERT_TRUE(WaitForCalls(3));
    EXPECT_EQ(FMUSIC_StopSong(song), 1);
    EXPECT_FALSE(gInCallback);
    const size_t stoppedAt = CallCount();
    const int order = FMUSIC_GetOrder(song);
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_EQ(CallCount(), stoppedAt);
    EXPECT_EQ(FMUSIC_GetOrder(song), order);

    // Playing again starts from the top: the first note comes first again.
    gCallbackSleepMs = 0;
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    ASSERT_TRUE(WaitForCalls(stoppedAt + 1));
    EXPECT_EQ(FMUSIC_StopSong(song), 1);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    std::lock_guard<std::mutex> lock(gCallsMutex);
    EXPECT_EQ(gCalls[stoppedAt].instrument, 1);
}

TEST_F(SoundApi, FreeingAPlayingSongStopsItFirst) {
    FMUSIC_MODULE* song = LoadSong();
    for (int instrument : {1, 2, 3, 4}) FMUSIC_SetInstCallback(song, Record, instrument);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    const size_t freedAt = CallCount();
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_EQ(CallCount(), freedAt);

    // The output plays the next song as usual.
    song = LoadSong();
    FMUSIC_SetInstCallback(song, Record, 1);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    EXPECT_TRUE(WaitForCalls(freedAt + 1));
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
}

namespace {
std::atomic<FMUSIC_MODULE*> gStopFromCallback{nullptr};
std::atomic<int> gStoppingCalls{0};
void StopFromCallback(FMUSIC_MODULE* module, unsigned char) {
    ++gStoppingCalls;
    FMUSIC_StopSong(module);
}
}  // namespace

TEST_F(SoundApi, CallbackMayStopTheSongItself) {
    FMUSIC_MODULE* song = LoadSong();
    FMUSIC_SetInstCallback(song, StopFromCallback, 1);
    FMUSIC_SetInstCallback(song, StopFromCallback, 2);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    const cClock::time_point end = cClock::now() + std::chrono::seconds(2);
    while (gStoppingCalls == 0 && cClock::now() < end) std::this_thread::sleep_for(milliseconds(1));
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(gStoppingCalls, 1);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
}

TEST_F(SoundApi, SecondInitIsRefusedAsBusy) {
    EXPECT_EQ(FSOUND_Init(22050, 16, 2), 0);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_BUSY);
}

TEST_F(SoundApi, LoadingFailsWithTheCodeOfWhatWentWrong) {
    const std::vector<uint8_t> module = EncodeXm(Song());
    const std::string text = "A shopping list, not a module: milk, bread, forty-two eggs, tea.";
    const struct {
        std::string name;
        int error;
    } cases[] = {
        {WriteTestFile({}, "") + "no-such-song.xm", SOUND_ERR_FILE_NOT_FOUND},
        {WriteTestFile({}, "") + "no-such-dir/song.xm", SOUND_ERR_FILE_NOT_FOUND},
        {WriteTestFile(std::vector<uint8_t>(text.begin(), text.end()), "list.xm"), SOUND_ERR_FILE_FORMAT},
        {WriteTestFile({}, "empty.xm"), SOUND_ERR_FILE_FORMAT},
        {WriteTestFile(std::vector<uint8_t>(module.begin(), module.begin() + 300), "cut.xm"), SOUND_ERR_FILE_BAD},
        {WriteTestFile({}, "") , SOUND_ERR_FILE_BAD},  // a directory
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FMUSIC_LoadSong(c.name.c_str()), nullptr) << c.name;
        EXPECT_EQ(FSOUND_GetError(), c.error) << c.name;
    }
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_INVALID_PARAM);
}

TEST_F(SoundApi, CallsOnNoModuleOrANonexistentInstrumentAreInvalid) {
    FMUSIC_MODULE* song = LoadSong();
    const auto expectInvalid = [](bool failed, const char* what) {
        EXPECT_TRUE(failed) << what;
        EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_INVALID_PARAM) << what;
        FSOUND_Init(22050, 16, 2);  // sets another error in between
    };
    expectInvalid(FMUSIC_SetInstCallback(song, Record, 0) == 0, "instrument 0");
    expectInvalid(FMUSIC_SetInstCallback(song, Record, 5) == 0, "instrument 5 of 4");
    expectInvalid(FMUSIC_SetInstCallback(nullptr, Record, 1) == 0, "callback on no module");
    expectInvalid(FMUSIC_PlaySong(nullptr) == 0, "play no module");
    expectInvalid(FMUSIC_GetOrder(nullptr) == -1, "order of no module");
    expectInvalid(FMUSIC_StopSong(nullptr) == 0, "stop no module");
    expectInvalid(FMUSIC_FreeSong(nullptr) == 0, "free no module");
    EXPECT_EQ(FMUSIC_SetInstCallback(song, Record, 4), 1);
    EXPECT_EQ(FMUSIC_StopSong(song), 1);  // not playing: nothing to do
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
}
