// The calls of sound.h that need the output, on top of the renderer, the
// outputs and the audible dispatcher; the calls that need none are in
// song_api.cpp.
//
// One output, opened by FSOUND_Init, plays one module at a time: our own
// stream on a sound server when one answers at the Pulse address (and
// SDL_AUDIODRIVER asks for nothing else), SDL's audio otherwise. On a
// server the output survives the server (surviving_output.h); PipeWire's
// Pulse server is played through PipeWire's own stream, whose timing counts
// the graph. A playing module renders on the
// output's thread and reports each buffer it hands over, with the time it
// will be heard, to its dispatcher, whose thread runs the instrument
// callbacks and moves the order that FMUSIC_GetOrder reads at that time.
#include "sound/sound.h"
#include "sound/song_seek.h"

#include "sound/module.h"
#include "sound/sdl_output.h"
#include "sound/surviving_output.h"
#if VK_HAVE_PULSE
#include "sound/pulse_output.h"
#endif
#if VK_HAVE_PIPEWIRE
#include "sound/pipewire_output.h"
#endif

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

// ---- Constants -------------------------------------------------------------

namespace {

// Device buffer: the largest power of two not above 25 ms of the mixing rate
// (512 frames = 23.2 ms at 22050 Hz). Callbacks and orders are timed inside a
// buffer, so its size costs no sync accuracy; a larger one would only add
// render-to-output latency, a smaller one more wake-ups of the audio thread.
constexpr double kBufferSeconds = 0.025;

}  // namespace

// ---- Module state ----------------------------------------------------------

namespace {

std::unique_ptr<cAudioOutput> OpenServerOutput(int rate, int frames);

cSdlOutput gSdlOutput;
cSurvivingOutput gServerOutput(OpenServerOutput);
cAudioOutput* gOutput = nullptr;  // the open one, or null
bool gSilentOutput = false;  // chosen by FSOUND_SetOutput
int gMixRate = 0;
FMUSIC_MODULE* gPlaying = nullptr;  // the thread that makes the control calls only

// ---- Local helpers ---------------------------------------------------------

// Records code as the last error; returns the failure value given.
template <typename T>
T Fail(int code, T result) {
    RecordSoundError(code);
    return result;
}

int BufferFramesFor(int rate) {
    int frames = 64;
    while (frames * 2 <= rate * kBufferSeconds) frames *= 2;
    return frames;
}

#if VK_HAVE_PIPEWIRE
// PipeWire's own socket beside its Pulse server's: PIPEWIRE_REMOTE when set;
// for a Pulse server named by a socket in a runtime directory
// ("unix:<dir>/pulse/native", where pipewire-pulse listens) <dir>/pipewire-0;
// without PULSE_SERVER, PipeWire's own choice (""). False when PULSE_SERVER
// names a server elsewhere (another host, a list): PipeWire's own choice
// would be this machine's server, not the one asked for.
bool PipeWireRemote(std::string& remote) {
    const char* pipeWire = std::getenv("PIPEWIRE_REMOTE");
    const char* pulse = std::getenv("PULSE_SERVER");
    const std::string_view address = pulse ? pulse : "";
    const std::string_view prefix = "unix:", suffix = "/pulse/native";
    if (pipeWire && *pipeWire) remote = pipeWire;
    else if (address.empty()) remote.clear();
    else if (address.size() > prefix.size() + suffix.size() && address.substr(0, prefix.size()) == prefix &&
             address.substr(address.size() - suffix.size()) == suffix)
        remote = std::string(address.substr(prefix.size(), address.size() - prefix.size() - suffix.size())) +
                 "/pipewire-0";
    else return false;
    return true;
}
#endif

// The output on the sound server at the Pulse address, unless SDL is told to
// use another driver: PipeWire's own stream when that server is PipeWire's
// and SDL_AUDIODRIVER does not ask for Pulse, else our Pulse stream; null
// when no server answers. Also how the surviving output finds a server back.
std::unique_ptr<cAudioOutput> OpenServerOutput(int rate, int frames) {
#if VK_HAVE_PULSE
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string_view wanted = driver ? driver : "";
    const bool pulseWanted = wanted == "pulseaudio" || wanted == "pulse";
    if (!wanted.empty() && !pulseWanted && wanted != "pipewire") return nullptr;
    auto pulse = std::make_unique<cPulseOutput>();
#if VK_HAVE_PIPEWIRE
    pulse->SetYieldToPipeWire(!pulseWanted);
    if (pulse->Open(rate, frames)) return pulse;
    if (!pulse->OnPipeWire() || pulseWanted) return nullptr;
    std::string remote;
    if (PipeWireRemote(remote)) {
        auto pipeWire = std::make_unique<cPipeWireOutput>();
        pipeWire->SetRemote(remote);
        if (pipeWire->Open(rate, frames)) return pipeWire;
    }
    // PipeWire's socket is not where it was looked for: its Pulse server then.
    pulse->SetYieldToPipeWire(false);
#endif
    if (!pulse->Open(rate, frames)) return nullptr;
    return pulse;
#else
    (void)rate;
    (void)frames;
    return nullptr;
#endif
}

// Opens the output on a sound server where one answers, else SDL's; null
// when neither opens. The silent output is SDL's dummy driver, whatever a
// server or SDL_AUDIODRIVER would choose.
cAudioOutput* OpenOutput(int rate, int frames) {
    gSdlOutput.SetSilent(gSilentOutput);
    if (gSilentOutput) return gSdlOutput.Open(rate, frames) ? &gSdlOutput : nullptr;
    if (gServerOutput.Open(rate, frames)) return &gServerOutput;
    return gSdlOutput.Open(rate, frames) ? &gSdlOutput : nullptr;
}

void StopPlaying() {
    if (!gPlaying) return;
    gOutput->Stop();
    gPlaying->dispatcher.Stop();
    gPlaying = nullptr;
}

// Plays module from frame `from` of its song; with `skip`, everything up to
// and including that frame has passed (see song_seek.h), otherwise the song
// starts afresh and what its first frame holds is heard with it.
signed char StartPlaying(FMUSIC_MODULE* module, int64_t from, bool skip) {
    if (!module || from < 0) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (!gOutput) return Fail(SOUND_ERR_UNINITIALIZED, 0);
    StopPlaying();
    if (!module->renderer.Start(gMixRate)) return Fail(SOUND_ERR_PLAY, 0);
    int order = 0;
    if (skip) {
        std::vector<cSoundEvent> passed;
        module->renderer.Skip(from, passed);
        for (const cSoundEvent& e : passed)
            if (e.kind == cSoundEvent::cKind::kOrder) order = e.order;
    }
    module->order.store(order, std::memory_order_relaxed);
    module->dispatcher.Start(gMixRate);
    gOutput->Play(module);
    gPlaying = module;
    return 1;
}

// FMUSIC_FreeSong's stop: the module, if it is the one playing.
void StopBeforeFree(FMUSIC_MODULE* module) {
    if (module == gPlaying) StopPlaying();
}

}  // namespace

// ---- Public functions ------------------------------------------------------

extern "C" {

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags) {
    (void)flags;  // output options of other systems; nothing to choose here
    if (gOutput) return Fail(SOUND_ERR_BUSY, 0);
    if (mixrate < XMP_MIN_SRATE || mixrate > 48000 || maxsoftwarechannels < 1)
        return Fail(SOUND_ERR_INVALID_PARAM, 0);
    gOutput = OpenOutput(mixrate, BufferFramesFor(mixrate));
    if (!gOutput) return Fail(SOUND_ERR_INIT, 0);
    gMixRate = mixrate;
    SetSongStopper(StopBeforeFree);
    return 1;
}

void FSOUND_Close(void) {
    if (!gOutput) return;
    StopPlaying();
    gOutput->Close();
    gOutput = nullptr;
}

signed char FSOUND_SetOutput(int output) {
    if (gOutput) return Fail(SOUND_ERR_BUSY, 0);
    if (output != SOUND_OUTPUT_DEVICE && output != SOUND_OUTPUT_SILENT) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    gSilentOutput = output == SOUND_OUTPUT_SILENT;
    return 1;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (!name) return Fail<FMUSIC_MODULE*>(SOUND_ERR_INVALID_PARAM, nullptr);
    if (!gOutput) return Fail<FMUSIC_MODULE*>(SOUND_ERR_UNINITIALIZED, nullptr);
    FMUSIC_MODULE* module = new (std::nothrow) FMUSIC_MODULE;
    if (!module) return Fail<FMUSIC_MODULE*>(SOUND_ERR_MEMORY, nullptr);
    const int error = module->renderer.LoadFile(name);
    if (error) {
        delete module;
        return Fail<FMUSIC_MODULE*>(error, nullptr);
    }
    return module;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* module) { return StartPlaying(module, 0, false); }

signed char FMUSIC_StopSong(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (module->dispatcher.OnOwnThread()) {
        // From the module's own callback: silence it now; the next control
        // call on the main thread finishes the stop.
        gOutput->Stop();  // its dispatcher runs, so an output is open
        module->dispatcher.Stop();
    } else if (module == gPlaying) {
        StopPlaying();
    }
    return 1;
}

}  // extern "C"

signed char FMUSIC_PlaySongFrom(FMUSIC_MODULE* module, int64_t frame) { return StartPlaying(module, frame, true); }

int64_t FMUSIC_GetHeardFrame(FMUSIC_MODULE* module) {
    if (!module || module != gPlaying) return -1;
    return module->dispatcher.HeardFrame(cSoundClock::now());
}
