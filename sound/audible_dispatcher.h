// Audible dispatcher: hands stamped events on when the output reaches them.
//
// The renderer stamps every event with its frame; the output reports each
// buffer it takes (first frame, and the wall-clock time its first frame is
// heard: the moment it was taken plus the output latency). An event is due
// when its frame is heard: every buffer reported before the latest counts
// as heard by the time the latest starts, and within the latest, frames are
// heard at the mixing rate from its start. A thread of the dispatcher
// sleeps until the next event is due and releases it; the lock is never held
// while an event is released, so a release may take its time.
#pragma once

#include "sound/sound_event.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class cAudibleDispatcher {
public:
    using cRelease = std::function<void(const cSoundEvent&)>;

    explicit cAudibleDispatcher(cRelease release) : release(std::move(release)) {}
    ~cAudibleDispatcher() { Stop(); }
    cAudibleDispatcher(const cAudibleDispatcher&) = delete;
    cAudibleDispatcher& operator=(const cAudibleDispatcher&) = delete;

    // Starts the releasing thread for output at rate frames per second (not
    // from a release).
    void Start(int rate);
    // The output took a buffer whose first frame is `first` and which starts
    // to be heard at `at`; events holds the events stamped inside it, in order.
    void Taken(int64_t first, cSoundClock::time_point at, const std::vector<cSoundEvent>& events);
    // Drops what is pending and ends the thread. When Stop returns no release
    // runs or will run, except when called from a release itself: then none
    // follows it, and the thread ends when the release returns.
    void Stop();
    // True on the dispatcher's own thread, inside a release.
    bool OnOwnThread() const;
    // The frame heard at `now`, from the buffers taken since Start: within
    // the last buffer that started to be heard by then, at the mixing rate.
    // -1 before any buffer was taken.
    int64_t HeardFrame(cSoundClock::time_point now);

private:
    struct cPending {
        cSoundEvent event;
        cSoundClock::time_point due;
    };
    // A buffer taken: its first frame and when it starts to be heard.
    struct cTake {
        int64_t first;
        cSoundClock::time_point at;
    };
    // Buffers remembered for HeardFrame: more than an output keeps queued.
    static constexpr size_t kTakesKept = 64;
    void Run();

    cRelease release;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<cPending> pending;  // in due order
    std::deque<cTake> takes;       // the last buffers taken, oldest first
    bool stopping = false;
    double rate = 0;
    std::thread thread;
};
