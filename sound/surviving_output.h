// Surviving output: an output on a sound server that outlives the server.
//
// Desktop sound servers go away and come back (an update, a crash, a
// headset plugged in). A watching thread checks the server output every
// 100 ms; when its server has gone, the song goes on on the system clock
// (clock_output.h), unheard, from where it was to be heard next, so the
// order and the instrument callbacks keep their time. Every half second it
// tries to open a server output again through the opener (the server comes
// back at the same address); once one opens, the song plays on it from
// where it then is: the server plays silence first, until two of its
// timing reports in a row agree on when it plays the next buffer, and the
// song's frames due before that go by unheard, on time. One line on standard error
// says the sound is lost and one that it is back; if no server comes back
// the song plays on unheard until it is stopped.
#pragma once

#include "sound/clock_output.h"
#include "sound/output.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class cSurvivingOutput final : public cAudioOutput {
public:
    // Opens an output on the server at rate Hz in buffers of `frames`
    // frames; null when no server answers.
    using cOpener = std::function<std::unique_ptr<cAudioOutput>(int rate, int frames)>;

    explicit cSurvivingOutput(cOpener opener) : opener(std::move(opener)) {}
    ~cSurvivingOutput() override { Close(); }
    // False when no server answers now.
    bool Open(int rate, int frames) override;
    bool IsOpen() const override { return watcher.joinable(); }
    void Play(cAudioSource* source) override;
    void Stop() override;
    void Close() override;

    static constexpr std::chrono::milliseconds kCheckEvery{100};
    static constexpr std::chrono::milliseconds kRetryEvery{500};

private:
    // Between the output in use and the song: remembers when the frame after
    // the last buffer taken is heard, where the clock takes over; and when
    // the song moves back onto a server, lets the song's time run on to
    // where the server plays it.
    class cTracker final : public cAudioSource {
    public:
        void Fill(int16_t* out, int frames) override;
        void Heard(cSoundClock::time_point at) override;
        cSoundClock::time_point Next() const { return next; }
        // The next buffer is a server's first after the clock's.
        void Resume() {
            resuming = true;
            silent = 0;
        }
        // The next buffer is heard at `at`, on whichever output takes it.
        void From(cSoundClock::time_point at) {
            next = at;
            resuming = false;
        }
        cAudioSource* source = nullptr;
        int rate = 0;

    private:
        int frames = 0;
        cSoundClock::time_point next = cSoundClock::now();
        bool resuming = false;
        int silent = 0;                   // silent buffers played since the return
        cSoundClock::time_point expected;  // when the last one said the next is heard
        std::vector<int16_t> skipped;  // the song's frames that go by unheard
    };

    void Watch();
    void LeaveLostServer();
    void TryServer();

    const cOpener opener;
    int rate = 0;
    int frames = 0;
    // The watcher's wake-ups; never held while an output is called.
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool closing = false;
    std::thread watcher;
    // Which output plays, and the song; outputs are switched under it.
    std::mutex control;
    std::unique_ptr<cAudioOutput> server;  // null while the server is gone
    cClockOutput clock;
    cTracker tracker;
    bool playing = false;
};
