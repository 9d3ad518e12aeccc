// The music of a capture: the module rendered offline, and the events it
// stamps released on the frame clock.
//
// The audio of the whole captured range is rendered before the first frame
// is drawn (the encoder reads it as a finished WAV), and every event from the
// song's start is kept with its sample. Each frame then releases the events
// it hears, in order, as the live output would by the time of that frame:
// an order change moves the order the timeline reads, a beat instrument runs
// the demo's own beat callback, with the song time set to the trigger's
// sample-exact time first, so the beat time is exact and not the frame's.
#pragma once

#include "core/event_replay.h"
#include "sound/sound.h"
#include "sound/sound_event.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Mixing rate of captured music: the video world's usual rate.
inline constexpr int kCaptureRate = 48000;

class cCaptureMusic {
public:
    using cAudioSink = std::function<bool(const int16_t* samples, int frames)>;

    explicit cCaptureMusic(int fps) : fps(fps) {}
    ~cCaptureMusic();
    cCaptureMusic(const cCaptureMusic&) = delete;
    cCaptureMusic& operator=(const cCaptureMusic&) = delete;

    // Loads the module for offline rendering; false with the sound layer's
    // error text.
    bool Load(const char* file, std::string& error);
    FMUSIC_MODULE* Song() const { return song; }

    // Renders the music up to the time of video frame end and hands the
    // audio from frame first on to audio (when given) in blocks. With end
    // below 0 it renders to the end of the music's first pass and ends at
    // the first frame at or after it. The frame it ended at; -1 when the
    // first pass did not end within an hour of music, or audio refused a block.
    int64_t Render(int64_t first, int64_t end, const cAudioSink& audio);
    // Releases the events frame hears that earlier frames did not, then sets
    // the song time to the frame's time.
    void AdvanceTo(int64_t frame);

private:
    int fps;
    FMUSIC_MODULE* song = nullptr;
    std::vector<cSoundEvent> events;  // every event rendered, in order
    cEventReplay replay;
};
