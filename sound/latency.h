// Output latency: how long after the output takes a buffer its first frame
// is heard. The output learns it while playing and the layer releases each
// buffer's callbacks and order changes that much later.
//
//   PulseAudio (our own stream)    what the server reports for the stream:
//                                  audio queued ahead of the new buffer plus
//                                  the sink's latency, refreshed while playing
//   PipeWire (our own stream)      what the graph reports every cycle: audio
//                                  queued in the stream and the resampler,
//                                  the next cycle, and the graph's delay to
//                                  the device (the sink's part)
//   SDL's ALSA driver              the two periods SDL keeps queued in ALSA
//   SDL's dummy and disk drivers   0 (they consume a buffer when they take it)
//   any other SDL driver           0: it cannot be asked
//
// Two environment variables, read when the output opens:
//   VK_SOUND_LATENCY_OFFSET_MS  a fixed offset in milliseconds (-1000..1000,
//                               fractions allowed) added to what the output
//                               reports, for sound systems that report
//                               nothing or report wrongly; a negative one
//                               cannot release an event before its buffer
//                               has been rendered
//   VK_SOUND_SHOW_LATENCY       when set and not "0": the latency in use on
//                               standard error, when first known and then
//                               whenever it moves by a millisecond or more
//                               (at most once a second)
#pragma once

struct cOutputLatency {
    const char* output = "";  // "pulseaudio" or "pipewire" (our own stream), or SDL's driver name
    double queued = 0;        // seconds queued ahead of the newest buffer (stream or driver buffer)
    double sink = 0;          // seconds the device adds behind that (the Pulse sink's latency)
    double offset = 0;        // seconds of VK_SOUND_LATENCY_OFFSET_MS
    // Seconds from taking a buffer to hearing its first frame, as released.
    double Total() const { return queued + sink + offset; }
};

// The latency in use by the open output (any thread).
cOutputLatency SoundOutputLatency();

// Reads a millisecond offset: true for a finite number within -1000..1000
// and nothing after it but blanks; otherwise false, with ms set to 0.
bool ParseLatencyOffsetMs(const char* text, double& ms);

// For the outputs. An output that opens (once its server has answered)
// names itself (a string that lives as long as the program) and reads the
// offset from the environment, warning of a bad one once; while it plays it
// reports what it learns, from its own thread.
void BeginOutputLatency(const char* output);
// An output that closes: no output, no latency.
void EndOutputLatency();
void ReportOutputLatency(double queued, double sink);
