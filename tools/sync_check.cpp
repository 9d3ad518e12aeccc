// sync_check: how far the demo's beats come from what is heard on this
// desktop. Plays a few seconds of a listening module through the sound
// layer, as the demo plays its music, on the default sound server, records
// the default sink's monitor, and compares each instrument callback and
// order change with the moment its sound was heard.
//
//   sync_check [--seconds N]
//
// Prints the output in use, the errors (positive: the event comes after its
// sound), and the VK_SOUND_LATENCY_OFFSET_MS that would cancel a constant
// error. The offset in force is applied, so a second run with the suggested
// value set shows the result. Exit status 1 when it could not measure.
#include "sound/heard_meter.h"
#include "sound/latency.h"
#include "sound/listening.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: sync_check [--seconds N]\n"
    "Plays N seconds (2-60, default 6) of a test tune on the default sound server and\n"
    "measures how far the demo's beats (instrument callbacks, order changes) come from\n"
    "when their sound is heard, as the default sink's monitor records it. Sound beyond\n"
    "the sink (a sound card's own buffer, a Bluetooth headset) is not seen.\n";

// A monitor fails to show a sink's sound after 2 ms of error only under load.
constexpr double kInSyncMs = 2;

int Fail(const std::string& why) {
    std::fflush(stdout);  // what was measured first, then why it stopped
    std::fprintf(stderr, "sync_check: %s\n", why.c_str());
    return 1;
}

void Print(const char* what, const cHeardErrors& e) {
    std::printf("%-14s mean %+6.1f ms, worst %+6.1f ms, %zu found", what, e.SignedMean(), e.Worst(), e.ms.size());
    if (e.unheard) std::printf(" (%d not found)", e.unheard);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 6;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help")) {
            std::printf("%s", kUsage);
            return 0;
        }
        char* end = nullptr;
        if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) seconds = std::strtod(argv[++i], &end);
        if (!end || *end || !(seconds >= 2 && seconds <= 60)) {
            std::fprintf(stderr, "%s", kUsage);
            return 1;
        }
    }

    const cXmModule module = ListeningModule(seconds);
    const cOfflineSong song = RenderOffline(module, seconds);
    cMonitorRecorder recorder;
    if (!recorder.Recording()) return Fail(recorder.Problem());
    std::printf("server:        %s, sink %s at %d Hz\n", recorder.ServerName().c_str(), recorder.Sink().c_str(),
                recorder.Rate());

    cPlayRecord record;
    const std::string problem = OpenLayer(record);
    if (!problem.empty()) return Fail(problem);
    FMUSIC_MODULE* handle = LoadListened(module, record);
    if (!handle) return Fail("cannot load the test tune");
    cOutputLatency latency;
    PlayFor(handle, seconds, record, [&](double) { latency = SoundOutputLatency(); });
    FMUSIC_FreeSong(handle);
    FSOUND_Close();
    recorder.Stop();
    std::printf("output:        %s, latency %.1f ms as released (offset %+.1f ms)\n", latency.output,
                latency.Total() * 1000, latency.offset * 1000);

    const double start = AlignSongStart(recorder, song);
    if (std::isnan(start)) return Fail("the tune was not heard on " + recorder.Sink() + "'s monitor");
    const cHeardErrors notes =
        HeardErrors(record.calls, song.Frames(cSoundEvent::cKind::kTrigger), recorder, song, start);
    const cHeardErrors orders =
        HeardErrors(record.orderChanges, song.Frames(cSoundEvent::cKind::kOrder), recorder, song, start);
    if (notes.ms.empty()) return Fail("no note of the tune was found in what was heard");
    Print("callbacks:", notes);
    Print("order changes:", orders);

    // Every event counts alike; the offset moves them all by as much.
    const double all = (notes.SignedMean() * double(notes.ms.size()) +
                        (orders.ms.empty() ? 0 : orders.SignedMean() * double(orders.ms.size()))) /
                       double(notes.ms.size() + orders.ms.size());
    if (std::fabs(all) < kInSyncMs) {
        std::printf("in sync within %.0f ms: no offset needed\n", kInSyncMs);
    } else {
        const double offset = std::clamp(latency.offset * 1000 - all, -1000.0, 1000.0);
        std::printf("suggested:     VK_SOUND_LATENCY_OFFSET_MS=%.0f\n", offset);
    }
    return 0;
}
