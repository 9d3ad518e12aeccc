// Heard time, found as a listener finds it: the null sink's monitor of a
// private sound server (tests/support/sound_server.h) recorded on the sound
// layer's clock (cSoundClock), and the recording matched sample by sample
// against the offline render of the module that plays, so that the moment
// any frame of the song was heard is known without asking the server.
//
// When a block reaches the recorder: PulseAudio's null sink hands the monitor
// each block as its first frame starts to play; PipeWire's graph hands it on
// in the cycle after the sink consumed it, one cycle later. Over a
// recording, the earliest arrivals relative to the frames' steady pace (the
// null sink plays on the same monotonic clock) lie one hand-off plus the
// recorder's own wake-up delay behind the sound; later ones were delayed by
// the machine. The wake-up delay is measured in the same process, before
// and after recording: the shortest of 200 wake-ups of a thread through a
// socket, as the recording thread is woken.
#pragma once

#include "sound/sound_event.h"
#include "sound/xm_writer.h"
#include "tests/support/sound_server.h"

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Records the monitor of vk_null (mono, 48000 Hz) from construction until
// Stop() or until the server goes away.
class cMonitorRecorder {
public:
    explicit cMonitorRecorder(const cSoundServer& server);
    ~cMonitorRecorder();
    cMonitorRecorder(const cMonitorRecorder&) = delete;
    cMonitorRecorder& operator=(const cMonitorRecorder&) = delete;

    // True once the monitor stream records.
    bool Recording() const { return problem.empty(); }
    std::string Problem() const { return problem; }
    // Ends the recording; the calls below read it afterwards.
    void Stop();

    const std::vector<float>& Samples() const { return samples; }
    // Frames the server hands over at a time (the median; PipeWire: its cycle).
    int BlockFrames() const;
    // Seconds from the sound to its block's arrival at the earliest: the
    // hand-off and the measured wake-up delay.
    double RecorderDelay() const { return handOff + wakeDelay; }
    double WakeDelay() const { return wakeDelay; }
    // When frame `frame` of the recording was heard, and the reverse.
    cSoundClock::time_point HeardAt(double frame) const;
    double FrameAt(cSoundClock::time_point heard) const;
    // The first frame at or after `from` louder than 1% of full scale (the
    // null sinks' silence is exact zeros), or -1.
    int64_t FirstSound(int64_t from = 0) const;

private:
    struct cBlock {
        int64_t first;
        int frames;
        cSoundClock::time_point arrival;
    };
    static void OnRead(pa_stream* stream, size_t bytes, void* self);

    cServerKind kind;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::mutex mutex;
    std::vector<float> samples;
    std::vector<cBlock> blocks;
    double base = 0;  // seconds on cSoundClock at which frame 0 was heard
    double handOff = 0, wakeDelay = 0;
    std::string problem;
};

// A song rendered offline at 22050 Hz, as the layer renders it.
struct cOfflineSong {
    std::vector<int16_t> pcm;  // stereo
    std::vector<cSoundEvent> events;
    std::vector<int64_t> Frames(cSoundEvent::cKind kind) const;  // order changes: away from order 0 only
};
cOfflineSong RenderOffline(const cXmModule& module, double seconds);

// A module for listening, as long as asked: notes of four square-wave
// instruments of different loudness at random pitches on two channels, with
// random rests and delays, so that no stretch of it sounds like another and
// notes fall at every offset of an output buffer. It sounds from its first
// frame and does not loop within `seconds`.
cXmModule ListeningModule(double seconds, unsigned seed = 20);

// Where frame 0 of the offline render lies in the recording, in recording
// frames (negative when the recording begins mid-song), searched between
// `from` and `to`; NaN when nothing there matches.
double AlignRender(const std::vector<float>& recording, const cOfflineSong& song, double from, double to);

// Where frame 0 of a song that sounds from its first frame lies in a
// recording that began before it: near the recording's first sound.
double AlignSongStart(const cMonitorRecorder& recorder, const cOfflineSong& song);

// Event times against heard times, in milliseconds (positive: late).
struct cHeardErrors {
    std::vector<double> ms;
    int unheard = 0;  // events whose sound was not found near where expected
    double Mean() const;  // of the absolute errors
    double SignedMean() const;
    double Worst() const;  // the largest absolute error, with its sign
    std::string Summary(const char* what) const;
};
// Observed times of song's events at offline frames `frames` against the
// heard times of their sounds, each found in the recording within 200 ms of
// where offline frame 0 at recording frame `start` puts it. Events outside
// the recording are left out; those not found near are counted unheard.
cHeardErrors HeardErrors(const std::vector<cSoundClock::time_point>& observed, const std::vector<int64_t>& frames,
                         const cMonitorRecorder& recorder, const cOfflineSong& song, double start);
