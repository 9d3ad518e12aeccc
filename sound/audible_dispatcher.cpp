// Audible dispatcher: a queue ordered by due time and one releasing thread.
#include "sound/audible_dispatcher.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace {

// ---- Constants -------------------------------------------------------------

// Scheduling priority asked for the releasing thread (when the process may
// raise it): a busy main loop should not delay a beat. SDL raises its audio
// thread further, to -20, when it may.
constexpr int kReleaseNice = -10;

// ---- Module state ----------------------------------------------------------

// The dispatcher whose thread this is, on a dispatcher's thread.
thread_local const cAudibleDispatcher* tRunning = nullptr;
}  // namespace

// ---- Public functions ------------------------------------------------------

void cAudibleDispatcher::Start(int mixRate) {
    Stop();
    std::lock_guard<std::mutex> lock(mutex);
    rate = mixRate;
    stopping = false;
    pending.clear();
    takes.clear();
    thread = std::thread(&cAudibleDispatcher::Run, this);
}

void cAudibleDispatcher::Taken(int64_t first, cSoundClock::time_point at, const std::vector<cSoundEvent>& events) {
    bool sooner = !events.empty();
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping || rate <= 0) return;
        takes.push_back({first, at});
        if (takes.size() > kTakesKept) takes.pop_front();
        // Whatever earlier buffers still hold is heard before this one starts.
        for (auto it = pending.rbegin(); it != pending.rend() && it->due > at; ++it) {
            it->due = at;
            sooner = true;
        }
        for (const cSoundEvent& e : events) {
            const std::chrono::duration<double> offset((e.sample - first) / rate);
            pending.push_back({e, at + std::chrono::duration_cast<cSoundClock::duration>(offset)});
        }
    }
    if (sooner) wake.notify_one();
}

void cAudibleDispatcher::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        pending.clear();
    }
    wake.notify_one();
    if (OnOwnThread()) return;  // from a release: Run ends after it returns
    if (thread.joinable()) thread.join();
}

bool cAudibleDispatcher::OnOwnThread() const { return tRunning == this; }

int64_t cAudibleDispatcher::HeardFrame(cSoundClock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex);
    if (takes.empty()) return -1;
    // The last buffer heard by now runs on until the next one starts.
    for (size_t i = takes.size(); i-- > 0;) {
        if (takes[i].at > now) continue;
        const std::chrono::duration<double> since = now - takes[i].at;
        int64_t frame = takes[i].first + int64_t(since.count() * rate);
        if (i + 1 < takes.size()) frame = std::min(frame, takes[i + 1].first);
        return frame;
    }
    return takes.front().first;  // nothing of them heard yet
}

// ---- Local helpers ---------------------------------------------------------

void cAudibleDispatcher::Run() {
    tRunning = this;
    setpriority(PRIO_PROCESS, id_t(gettid()), kReleaseNice);  // best effort
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (pending.empty()) {
            wake.wait(lock);
            continue;
        }
        const cSoundClock::time_point due = pending.front().due;
        if (cSoundClock::now() < due) {
            wake.wait_until(lock, due);
            continue;
        }
        const cSoundEvent event = pending.front().event;
        pending.pop_front();
        lock.unlock();
        release(event);
        lock.lock();
    }
}

