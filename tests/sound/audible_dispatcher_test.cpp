// The audible dispatcher: events released when the output reaches their
// frame, at once when a later buffer has been taken, and never after Stop.
#include "sound/audible_dispatcher.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

using std::chrono::milliseconds;
constexpr int kRate = 10000;  // 10 frames a millisecond

struct cReleased {
    int order;
    cSoundClock::time_point at;
};

class AudibleDispatcher : public testing::Test {
protected:
    cSoundEvent OrderAt(int order, int64_t frame) {
        cSoundEvent e;
        e.kind = cSoundEvent::cKind::kOrder;
        e.order = order;
        e.sample = frame;
        return e;
    }
    std::vector<cReleased> Released() {
        std::lock_guard<std::mutex> lock(mutex);
        return released;
    }
    // Waits up to 2 s for n releases.
    bool WaitForReleases(size_t n) {
        for (int i = 0; i < 2000 && Released().size() < n; ++i) std::this_thread::sleep_for(milliseconds(1));
        return Released().size() >= n;
    }
    // Milliseconds from start to the release of each event.
    std::vector<double> ReleaseMs(cSoundClock::time_point start) {
        std::vector<double> ms;
        for (const cReleased& r : Released()) ms.push_back(std::chrono::duration<double, std::milli>(r.at - start).count());
        return ms;
    }

    std::mutex mutex;
    std::vector<cReleased> released;
    cAudibleDispatcher dispatcher{[this](const cSoundEvent& e) {
        std::lock_guard<std::mutex> lock(mutex);
        released.push_back({e.order, cSoundClock::now()});
    }};
};

}  // namespace

TEST_F(AudibleDispatcher, ReleasesEachEventWhenTheOutputReachesItsFrame) {
    dispatcher.Start(kRate);
    const cSoundClock::time_point taken = cSoundClock::now();
    // A buffer starting at frame 1000, taken now: events 0, 60 and 120 ms into it.
    dispatcher.Taken(1000, taken, {OrderAt(1, 1000), OrderAt(2, 1600), OrderAt(3, 2200)});
    ASSERT_TRUE(WaitForReleases(3));
    dispatcher.Stop();
    const std::vector<double> ms = ReleaseMs(taken);
    EXPECT_EQ(Released()[2].order, 3);
    EXPECT_GE(ms[1], 60.0);
    EXPECT_GE(ms[2], 120.0);
}

TEST_F(AudibleDispatcher, TakingTheNextBufferReleasesWhatTheLastOneHeld) {
    dispatcher.Start(kRate);
    const cSoundClock::time_point taken = cSoundClock::now();
    // A long buffer with events 5, 5.5 and 6 s into it, then the next buffer
    // 20 ms later: the output has consumed the first one, so all its events
    // are due then, before the next buffer's own event 100 ms into it.
    dispatcher.Taken(0, taken, {OrderAt(1, 50000), OrderAt(2, 55000), OrderAt(3, 60000)});
    dispatcher.Taken(70000, taken + milliseconds(20), {OrderAt(4, 71000)});
    ASSERT_TRUE(WaitForReleases(4));
    dispatcher.Stop();
    const std::vector<double> ms = ReleaseMs(taken);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Released()[i].order, i + 1);
    EXPECT_GE(ms[0], 20.0);
    EXPECT_LT(ms[2], 2000.0);
    EXPECT_GE(ms[3], 120.0);
}

TEST_F(AudibleDispatcher, StopDropsWhatIsPendingAndStartBeginsAfresh) {
    dispatcher.Start(kRate);
    dispatcher.Taken(0, cSoundClock::now(), {OrderAt(1, 0), OrderAt(2, 10000)});  // now and in 1 s
    ASSERT_TRUE(WaitForReleases(1));
    dispatcher.Stop();
    dispatcher.Taken(20000, cSoundClock::now(), {OrderAt(3, 20000)});  // stopped: ignored
    std::this_thread::sleep_for(milliseconds(50));
    ASSERT_EQ(Released().size(), 1u);
    EXPECT_EQ(Released()[0].order, 1);

    dispatcher.Start(kRate);
    dispatcher.Taken(0, cSoundClock::now(), {OrderAt(4, 0)});
    ASSERT_TRUE(WaitForReleases(2));
    dispatcher.Stop();
    EXPECT_EQ(Released()[1].order, 4);
}
