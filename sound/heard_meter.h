// Heard meter: when the sound layer's events are heard, found as a listener
// finds them. The monitor of a Pulse server's default sink is recorded on
// the layer's clock (cSoundClock) and matched sample by sample against the
// offline render of the module that plays, so the moment any frame of the
// song was heard is known without trusting what the server reports.
//
//   cMonitorRecorder recorder;                  // before the song starts
//   ... play (sound/listening.h) ...
//   recorder.Stop();
//   double start = AlignSongStart(recorder, song);
//   cHeardErrors e = HeardErrors(record.calls, song.Frames(kTrigger), recorder, song, start);
//
// When a block reaches the recorder: PulseAudio hands the monitor each block
// as the sink plays its first frame; PipeWire's graph hands it on in the
// cycle after the sink consumed it. Over a recording, the earliest arrivals
// against the frames' steady pace lie one hand-off plus the recorder's own
// wake-up delay behind the sound; later ones were delayed by the machine.
// The wake-up delay is measured in the same process, before and after
// recording. "Heard" is what the sink plays: a sound card's own buffer or a
// wireless headset beyond it adds what no monitor can see.
//
// Needs libpulse (library vk_sound_meter, built when the layer has it); any
// Pulse-speaking server will do, PulseAudio or PipeWire's pipewire-pulse,
// which tells itself apart by its name.
#pragma once

#include "sound/listening.h"
#include "sound/sound_event.h"

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Records the default sink's monitor (mono, at the sink's rate) from
// construction until Stop() or until the server goes away.
class cMonitorRecorder {
public:
    // server: a Pulse address ("unix:/path"), or empty for the one libpulse
    // finds as every client does (PULSE_SERVER, then the user's session).
    explicit cMonitorRecorder(const std::string& server = "");
    ~cMonitorRecorder();
    cMonitorRecorder(const cMonitorRecorder&) = delete;
    cMonitorRecorder& operator=(const cMonitorRecorder&) = delete;

    // True once the monitor stream records; else why not.
    bool Recording() const { return problem.empty(); }
    std::string Problem() const { return problem; }
    // The server as it names itself, the sink listened to, and whether the
    // server is PipeWire's.
    const std::string& ServerName() const { return serverName; }
    const std::string& Sink() const { return sink; }
    bool PipeWire() const { return pipeWire; }
    int Rate() const { return rate; }
    // Ends the recording; the calls below read it afterwards.
    void Stop();

    const std::vector<float>& Samples() const { return samples; }
    // Frames the server hands over at a time (the median; PipeWire: its cycle).
    int BlockFrames() const;
    // Seconds from the sound to its block's arrival at the earliest.
    double RecorderDelay() const { return handOff + wakeDelay; }
    // When frame `frame` of the recording was heard, and the reverse.
    cSoundClock::time_point HeardAt(double frame) const;
    double FrameAt(cSoundClock::time_point heard) const;
    // The first frame at or after `from` louder than 1% of full scale, or -1.
    int64_t FirstSound(int64_t from = 0) const;

private:
    struct cBlock {
        int64_t first;
        int frames;
        cSoundClock::time_point arrival;
    };
    static void OnRead(pa_stream* stream, size_t bytes, void* self);
    bool Connect(const std::string& server);

    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::string serverName, sink;
    bool pipeWire = false;
    int rate = 48000;
    std::mutex mutex;
    std::vector<float> samples;
    std::vector<cBlock> blocks;
    double base = 0;  // seconds on cSoundClock at which frame 0 was heard
    double handOff = 0, wakeDelay = 0;
    std::string problem;
};

// Where frame 0 of the offline render lies in the recording, in recording
// frames (negative when the recording begins mid-song), searched between
// `from` and `to`; NaN when nothing there matches.
double AlignRender(const cMonitorRecorder& recorder, const cOfflineSong& song, double from, double to);

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
// Observed times of the song's events at offline frames `frames` against the
// heard times of their sounds, each found in the recording within 200 ms of
// where offline frame 0 at recording frame `start` puts it. Events outside
// the recording are left out; those not found near are counted unheard.
cHeardErrors HeardErrors(const std::vector<cSoundClock::time_point>& observed, const std::vector<int64_t>& frames,
                         const cMonitorRecorder& recorder, const cOfflineSong& song, double start);
