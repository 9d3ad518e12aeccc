// Output latency: the values in use, kept in atomics because the output's
// thread writes them while any thread may read them.
#include "sound/latency.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// ---- Constants -------------------------------------------------------------

constexpr double kMaxOffsetMs = 1000;
constexpr double kShowStep = 0.001;       // seconds the latency moves before it is shown again
constexpr double kShowInterval = 1.0;     // seconds between two lines at least

// ---- Module state ----------------------------------------------------------

std::atomic<const char*> gOutput{""};
std::atomic<double> gQueued{0}, gSink{0}, gOffset{0};
bool gShow = false;            // set on open, read on the output's thread
double gShownTotal = -1e9;     // output's thread only
double gShownAt = -1e9;

double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// ---- Public functions ------------------------------------------------------

cOutputLatency SoundOutputLatency() {
    cOutputLatency l;
    l.output = gOutput.load(std::memory_order_relaxed);
    l.queued = gQueued.load(std::memory_order_relaxed);
    l.sink = gSink.load(std::memory_order_relaxed);
    l.offset = gOffset.load(std::memory_order_relaxed);
    return l;
}

bool ParseLatencyOffsetMs(const char* text, double& ms) {
    ms = 0;
    if (!text) return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0' || !std::isfinite(value) || std::fabs(value) > kMaxOffsetMs) return false;
    ms = value;
    return true;
}

void BeginOutputLatency(const char* output) {
    double ms = 0;
    const char* text = std::getenv("VK_SOUND_LATENCY_OFFSET_MS");
    // Said once, not again each time the output opens anew on a server that is back.
    // Never destroyed: at exit the surviving output's watcher may still be
    // opening an output while the program's statics are torn down.
    static std::string& warned = *new std::string;
    if (text && *text && !ParseLatencyOffsetMs(text, ms) && warned != text && (warned = text, true))
        std::fprintf(stderr, "sound: ignoring VK_SOUND_LATENCY_OFFSET_MS=\"%s\" (milliseconds, -1000 to 1000)\n", text);
    const char* show = std::getenv("VK_SOUND_SHOW_LATENCY");
    gShow = show && *show && std::string_view(show) != "0";
    gShownTotal = gShownAt = -1e9;
    gOutput.store(output, std::memory_order_relaxed);
    gQueued.store(0, std::memory_order_relaxed);
    gSink.store(0, std::memory_order_relaxed);
    gOffset.store(ms / 1000, std::memory_order_relaxed);
}

void EndOutputLatency() {
    gOutput.store("", std::memory_order_relaxed);
    gQueued.store(0, std::memory_order_relaxed);
    gSink.store(0, std::memory_order_relaxed);
    gOffset.store(0, std::memory_order_relaxed);
}

void ReportOutputLatency(double queued, double sink) {
    gQueued.store(queued, std::memory_order_relaxed);
    gSink.store(sink, std::memory_order_relaxed);
    if (!gShow) return;
    const cOutputLatency l = SoundOutputLatency();
    const double now = Seconds();
    if (std::fabs(l.Total() - gShownTotal) < kShowStep || now - gShownAt < kShowInterval) return;
    gShownTotal = l.Total();
    gShownAt = now;
    std::fprintf(stderr, "sound: latency %.1f ms on %s (queued %.1f ms + sink %.1f ms + offset %.1f ms)\n",
                 l.Total() * 1000, l.output, l.queued * 1000, l.sink * 1000, l.offset * 1000);
}
