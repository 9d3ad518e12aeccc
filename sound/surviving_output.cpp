// Surviving output: the server output or the clock, switched by a watcher.
#include "sound/surviving_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// ---- Constants -------------------------------------------------------------

// A returned server's first timing reports can be off (a stream that has
// not yet learned its graph, a sink that wakes up late): silence is played
// until two reports in a row agree this closely on when the next buffer is
// heard, for at most kMostSilent buffers (about a second).
constexpr auto kSettled = std::chrono::milliseconds(2);
constexpr int kMostSilent = 40;

// ---- Local helpers ---------------------------------------------------------

// How long `frames` frames at `rate` Hz play.
cSoundClock::duration Length(int frames, int rate) {
    return std::chrono::duration_cast<cSoundClock::duration>(std::chrono::duration<double>(double(frames) / rate));
}

}  // namespace

// ---- Public functions ------------------------------------------------------

bool cSurvivingOutput::Open(int mixRate, int bufferFrames) {
    Close();
    rate = mixRate;
    frames = bufferFrames;
    tracker.rate = rate;
    server = opener(rate, frames);
    if (!server) return false;
    {
        std::lock_guard<std::mutex> lock(wakeMutex);
        closing = false;
    }
    watcher = std::thread(&cSurvivingOutput::Watch, this);
    return true;
}

void cSurvivingOutput::Play(cAudioSource* source) {
    std::lock_guard<std::mutex> lock(control);
    if (server) server->Stop();
    clock.Stop();
    tracker.source = source;
    tracker.From(cSoundClock::now());
    playing = true;
    if (server) server->Play(&tracker);
    else clock.Play(&tracker, rate, frames, cSoundClock::now());
}

void cSurvivingOutput::Stop() {
    std::lock_guard<std::mutex> lock(control);
    if (server) server->Stop();
    clock.Stop();
    playing = false;
    tracker.source = nullptr;
}

void cSurvivingOutput::Close() {
    if (watcher.joinable()) {
        {
            std::lock_guard<std::mutex> lock(wakeMutex);
            closing = true;
        }
        wake.notify_one();
        watcher.join();
    }
    std::lock_guard<std::mutex> lock(control);
    clock.Stop();
    if (server) server->Close();
    server.reset();
    playing = false;
    tracker.source = nullptr;
}

// ---- The watcher's thread --------------------------------------------------

void cSurvivingOutput::Watch() {
    std::unique_lock<std::mutex> lock(wakeMutex);
    bool connected = true;
    while (!closing) {
        wake.wait_for(lock, connected ? kCheckEvery : kRetryEvery);
        if (closing) break;
        lock.unlock();
        {
            std::lock_guard<std::mutex> hold(control);
            connected = server != nullptr;
        }
        if (connected) LeaveLostServer();
        else TryServer();
        lock.lock();
    }
}

// When the server has gone: the song goes on on the clock from where the
// server was to play it next.
void cSurvivingOutput::LeaveLostServer() {
    std::unique_ptr<cAudioOutput> gone;
    {
        std::lock_guard<std::mutex> lock(control);
        if (!server || !server->Lost()) return;
        gone = std::move(server);
        gone->Stop();
        // (A server lost before it took a buffer leaves the song where the clock had it.)
        tracker.From(tracker.Next());
        if (playing) clock.Play(&tracker, rate, frames, tracker.Next());
    }
    gone->Close();
    std::fprintf(stderr, "sound: the sound server has gone; the music goes on unheard\n");
}

// Opens an output on a server that may be back, without holding the song
// (opening may take a while); then the song moves onto it.
void cSurvivingOutput::TryServer() {
    std::unique_ptr<cAudioOutput> back = opener(rate, frames);
    if (!back) return;
    {
        std::lock_guard<std::mutex> lock(control);
        if (playing) {
            clock.Stop();
            tracker.Resume();
            back->Play(&tracker);
        }
        server = std::move(back);
    }
    std::fprintf(stderr, "sound: the sound server is back; the music is heard again\n");
}

// ---- The output's thread ---------------------------------------------------

void cSurvivingOutput::cTracker::Fill(int16_t* out, int count) {
    frames = count;
    if (resuming) {
        // Back on a server: silence until its reports tell when it plays.
        std::fill(out, out + 2 * size_t(count), int16_t(0));
        return;
    }
    source->Fill(out, count);
}

void cSurvivingOutput::cTracker::Heard(cSoundClock::time_point at) {
    const cSoundClock::time_point after = at + Length(frames, rate);
    if (resuming) {
        const bool settled = silent > 0 && at - expected < kSettled && expected - at < kSettled;
        expected = after;
        if (!settled && ++silent < kMostSilent) return;
        // The song was due to be heard at `next` and the server plays it from
        // `after`: what lies between goes by on the clock, unheard, so that
        // the music is heard from where the song then is.
        resuming = false;
        const double seconds = std::chrono::duration<double>(after - next).count();
        const int skip = std::clamp(int(std::lround(seconds * rate)), 0, rate);
        if (skip > 0) {
            skipped.resize(2 * size_t(skip));
            source->Fill(skipped.data(), skip);
            source->Heard(next);
        }
        next = after;
        return;
    }
    next = after;
    source->Heard(at);
}
