// Small XM modules for the sound tests, written with the XM writer.
//
// Every module has instruments playing a short looped square wave, 8 rows
// per pattern unless a test says otherwise, and a fast tempo so that the
// tests that play in real time stay short.
#pragma once

#include "sound/sound_event.h"
#include "sound/xm_writer.h"

#include <string>
#include <vector>

// Frames of one tick at bpm and 22050 Hz: 22050 * 2.5 / bpm.
constexpr int kTestRate = 22050;
constexpr int TickFrames(int bpm) { return kTestRate * 5 / (2 * bpm); }

// A module of `instruments` square-wave instruments, the given orders over
// `patterns` empty patterns of `rows` rows each, at speed/bpm.
cXmModule TestModule(int channels, int instruments, int patterns, int rows, int speed, int bpm);
// A cell that plays a note with instrument (0 = carry the channel's).
cXmCell Note(int instrument, uint8_t effect = 0, uint8_t param = 0);

// Writes module under a fresh temporary directory; the file's path.
std::string WriteTestModule(const cXmModule& module, const std::string& name);
// Writes bytes as a file there; the file's path.
std::string WriteTestFile(const std::vector<uint8_t>& bytes, const std::string& name);

// Renders `frames` frames of module offline at 22050 Hz, in one call; the events.
std::vector<cSoundEvent> RenderEvents(const cXmModule& module, int frames);
// The same for a module file image (one the writer would not make).
std::vector<cSoundEvent> RenderEvents(const std::vector<uint8_t>& bytes, int frames);
// Only the triggers of events.
std::vector<cSoundEvent> Triggers(const std::vector<cSoundEvent>& events);
