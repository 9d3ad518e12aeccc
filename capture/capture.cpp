// Capture run: start-up as the demo's, the frame plan, the music, then the
// frames through DrawFrame with a presenter that reads each one back.
#include "capture/capture.h"

#include "base/beat.h"
#include "base/context_query.h"
#include "capture/capture_clock.h"
#include "capture/capture_music.h"
#include "capture/capture_resume.h"
#include "capture/ffmpeg_encoder.h"
#include "capture/mp4_index.h"
#include "capture/offscreen_gl.h"
#include "capture/png_file.h"
#include "capture/progress_bar.h"
#include "core/console.h"
#include "core/demo_core.h"
#include "core/gl_view.h"
#include "core/music.h"
#include "core/quit_signals.h"
#include "sound/wav_file.h"
#include "timeline/draw_frame.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

// ---- Types -----------------------------------------------------------------

using cClock = std::chrono::steady_clock;

// Which frames are drawn and which of them are written.
struct cFramePlan {
    int64_t first = 0, end = 0;         // frames [first, end) of a video or PNG sequence
    std::vector<int64_t> stills;        // or these frames, one file each (parallel to the names)
    int64_t Last() const { return stills.empty() ? end - 1 : *std::max_element(stills.begin(), stills.end()); }
};

// Where the frame loop's time went: frames before the range (drawn for
// their state only), and for the frames written, drawing them (our code and
// Mesa taking the calls), reading them back (Mesa finishing the drawing,
// then the copy) and handing them on (encoder or PNG writer).
struct cTimes {
    int64_t leadInFrames = 0, frames = 0;
    double leadIn = 0, drawing = 0, readBack = 0, output = 0;
};

// ---- Module state ----------------------------------------------------------

// What the presenter works with: the frame just drawn is read into rgb when
// it is wanted.
struct cPresentation {
    cOffscreenGl* gl = nullptr;
    uint8_t* rgb = nullptr;
    bool wanted = false;
    double seconds = 0;  // time spent reading back
} gPresentation;

// ---- Local helpers ---------------------------------------------------------

double Since(cClock::time_point t) { return std::chrono::duration<double>(cClock::now() - t).count(); }

int Fail(const std::string& message) {
    std::fprintf(stderr, "vindelkrok-capture: %s\n", message.c_str());
    return 1;
}

// The presenter: instead of swapping, read the finished frame back.
void ReadBackFrame() {
    if (!gPresentation.wanted) return;
    const cClock::time_point t = cClock::now();
    gPresentation.gl->ReadFrame(gPresentation.rgb);
    gPresentation.seconds += Since(t);
}

// Draws one frame of the demo; a frame that is not wanted has every pixel
// scissored away and is not read back.
void DrawCapturedFrame(bool wanted) {
    gPresentation.wanted = wanted;
    if (!wanted) glEnable(GL_SCISSOR_TEST);
    DrawFrame();
    if (!wanted) glDisable(GL_SCISSOR_TEST);
}

// Creates dir and the directories above it where missing; false when it
// cannot or a file is in the way.
bool MakeDirectory(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return std::filesystem::is_directory(dir, error);
}

// A fresh file name for the music handed to ffmpeg.
std::string TemporaryWav() {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/vindelkrok-capture-XXXXXX.wav";
    const int fd = mkstemps(path.data(), 4);
    if (fd < 0) return "";
    close(fd);
    return path;
}

// The demo's start-up, offscreen: GL state, the music, then the demo core
// with the read-back as its presenter.
bool StartUp(const cCaptureOptions& o, cOffscreenGl& gl, cCaptureMusic& music, std::string& error) {
    if (!gl.Open(o.width, o.height)) {
        error = "no offscreen OpenGL: " + gl.Error();
        return false;
    }
    SetContextQuery(OffscreenContextCurrent);
    SetupGL(unsigned(o.width), unsigned(o.height));
    glScissor(0, 0, 0, 0);  // the box of frames that are drawn but not wanted
    if (!music.Load(kSongFile, error)) {
        error = std::string(kSongFile) + ": " + error;
        return false;
    }
    gSongTime = 0.0;
    StartDemo(music.Song(), ReadBackFrame);
    return true;
}

// Draws frames 0 .. last in order and hands each one wanted to write, with
// the frame read back into rgb; false when write refuses one or a quit
// signal (gQuit) stops it early.
bool RunFrames(int64_t last, const std::function<bool(int64_t)>& wanted, cCaptureMusic& music,
               std::vector<uint8_t>& rgb, const std::function<bool(int64_t)>& write, cTimes& times) {
    gPresentation.rgb = rgb.data();
    gPresentation.seconds = 0;
    cProgressBar progress(last + 1);
    bool ok = true;
    for (int64_t frame = 0; frame <= last && ok && !gQuit; ++frame) {
        const bool output = wanted(frame);
        const cClock::time_point drawn = cClock::now();
        music.AdvanceTo(frame);
        DrawCapturedFrame(output);
        if (!output) {
            times.leadIn += Since(drawn);
            ++times.leadInFrames;
        } else {
            times.drawing += Since(drawn);
            ++times.frames;
            const cClock::time_point written = cClock::now();
            ok = write(frame);
            times.output += Since(written);
        }
        progress.Update(frame + 1);
    }
    progress.Finish(last + 1);
    EndDemo();
    times.readBack = gPresentation.seconds;
    times.drawing -= times.readBack;
    return ok && !gQuit;
}

// The message of a capture a quit signal stopped after written frames of
// the range, which where holds: the options that capture the rest.
int Stopped(const cCaptureOptions& o, const cFramePlan& plan, int64_t written, const std::string& where,
            const std::string& nextOutput) {
    if (written == 0) return Fail("stopped by a signal before the first frame of the range; nothing was written");
    return Fail("stopped by a signal after " + std::to_string(written) + " frames; " + where +
                ". The same options with " + ContinueOptions(plan.first + written, plan.end, o.duration < 0, o.fps) +
                " and another " + nextOutput + " capture the rest");
}

// One line on where the time went.
void ReportTimes(const cTimes& t) {
    const double busy = t.drawing + t.readBack + t.output;
    std::fprintf(Console(), "%lld frames in %.1f s (%.1f frames/s): drawing %.1f s, reading back %.1f s, writing %.1f s",
                static_cast<long long>(t.frames), busy, busy > 0 ? double(t.frames) / busy : 0.0, t.drawing,
                t.readBack, t.output);
    if (t.leadInFrames) std::fprintf(Console(), "; %lld frames before them in %.1f s", static_cast<long long>(t.leadInFrames), t.leadIn);
    std::fprintf(Console(), "\n");
}

// ---- The three outputs -----------------------------------------------------

int CaptureVideo(const cCaptureOptions& o, cFramePlan plan, cCaptureMusic& music, std::vector<uint8_t>& rgb) {
    const std::string output = o.output.empty() ? kDefaultVideoFile : o.output;
    const std::string wavPath = TemporaryWav();
    if (wavPath.empty()) return Fail("cannot make a temporary file for the music");
    cWavFile wav;
    bool ok = wav.Open(wavPath, kCaptureRate, 2);
    if (ok) plan.end = music.Render(plan.first, plan.end, [&](const int16_t* s, int n) { return wav.Write(s, n); });
    ok = wav.Close() && ok && plan.end >= 0;
    if (!ok || plan.end <= plan.first) {
        std::remove(wavPath.c_str());
        if (!ok) return Fail("cannot render the music to " + wavPath);
        return Fail("nothing to capture: --start lies after the end of the music's first pass");
    }

    cVideoSettings settings{output, wavPath, o.width, o.height, o.fps, o.crf};
    cFfmpegEncoder encoder;
    std::string error;
    const bool started = encoder.Start(settings, error);
    std::remove(wavPath.c_str());  // ffmpeg holds it open
    if (!started) return Fail(error);
    cTimes times;
    int64_t written = 0;  // frames ffmpeg has taken
    auto inRange = [&](int64_t frame) { return frame >= plan.first; };
    auto encode = [&](int64_t) {
        if (!encoder.WriteFrame(rgb.data())) return false;
        ++written;
        return true;
    };
    ok = RunFrames(plan.end - 1, inRange, music, rgb, encode, times);
    // Ending ffmpeg's input lets it finish the file, also after a quit
    // signal; a file it closed in order gets its index at the front.
    const cClock::time_point finishing = cClock::now();
    error = encoder.Finish();
    std::string indexError;
    if (error.empty() && written > 0) indexError = FinishMp4(output, written, o.fps);
    times.output += Since(finishing);
    if (!indexError.empty())
        std::fprintf(stderr, "vindelkrok-capture: %s; %s stays fragmented (it plays; its index is spread over it)\n",
                     indexError.c_str(), output.c_str());
    if (gQuit && written == 0) std::remove(output.c_str());
    if (gQuit && (error.empty() || written == 0)) return Stopped(o, plan, written, output + " holds them", "--output");
    if (gQuit) return Fail("stopped by a signal; " + error + "; " + output + " plays up to its last whole fragment");
    if (!error.empty()) return Fail(error);
    if (!ok) return Fail("ffmpeg stopped taking frames");
    std::fprintf(Console(), "wrote %s: %lld frames, %.3f s at %d fps, %dx%d\n", output.c_str(),
                static_cast<long long>(plan.end - plan.first), double(plan.end - plan.first) / o.fps, o.fps,
                o.width, o.height);
    ReportTimes(times);
    return 0;
}

int CapturePngs(const cCaptureOptions& o, cFramePlan plan, cCaptureMusic& music, std::vector<uint8_t>& rgb) {
    const std::string dir = o.pngDirectory;
    if (!MakeDirectory(dir)) return Fail("cannot make the directory " + dir);
    cWavFile wav;
    const std::string wavPath = dir + "/audio.wav";
    bool ok = wav.Open(wavPath, kCaptureRate, 2);
    if (ok) plan.end = music.Render(plan.first, plan.end, [&](const int16_t* s, int n) { return wav.Write(s, n); });
    if (!wav.Close() || !ok || plan.end < 0) return Fail("cannot write the music to " + wavPath);
    if (plan.end <= plan.first) return Fail("nothing to capture: --start lies after the end of the music's first pass");

    cTimes times;
    std::string failed;
    int64_t written = 0;
    auto inRange = [&](int64_t frame) { return frame >= plan.first; };
    // Numbered from 0 at the first frame of the range.
    auto writePng = [&](int64_t frame) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame - plan.first));
        if (WritePngFile(dir + name, o.width, o.height, rgb.data())) return ++written, true;
        failed = dir + name;
        return false;
    };
    ok = RunFrames(plan.end - 1, inRange, music, rgb, writePng, times);
    if (gQuit) return Stopped(o, plan, written, dir + " holds them from frame-000000.png", "--png directory");
    if (!ok) return Fail("cannot write " + failed);
    std::fprintf(Console(), "wrote %lld frames and audio.wav to %s: %.3f s at %d fps, %dx%d\n",
                static_cast<long long>(plan.end - plan.first), dir.c_str(), double(plan.end - plan.first) / o.fps,
                o.fps, o.width, o.height);
    ReportTimes(times);
    return 0;
}

int CaptureStills(const cCaptureOptions& o, const cFramePlan& plan, cCaptureMusic& music, std::vector<uint8_t>& rgb) {
    const std::string dir = o.output.empty() ? kDefaultStillsDirectory : o.output;
    if (!MakeDirectory(dir)) return Fail("cannot make the directory " + dir);
    if (music.Render(0, plan.Last() + 1, nullptr) < 0) return Fail("cannot render the music");
    cTimes times;
    std::string failed;
    auto isStill = [&](int64_t frame) {
        return std::find(plan.stills.begin(), plan.stills.end(), frame) != plan.stills.end();
    };
    // Every still that falls on the frame (two times may round to one frame).
    auto writeStills = [&](int64_t frame) {
        for (size_t i = 0; i < plan.stills.size(); ++i) {
            if (plan.stills[i] != frame) continue;
            const std::string path = dir + "/still-" + o.stillNames[i] + ".png";
            if (!WritePngFile(path, o.width, o.height, rgb.data())) {
                failed = path;
                return false;
            }
        }
        return true;
    };
    const bool ok = RunFrames(plan.Last(), isStill, music, rgb, writeStills, times);
    if (gQuit) return Fail("stopped by a signal");
    if (!ok) return Fail("cannot write " + failed);
    std::fprintf(Console(), "wrote %zu stills to %s\n", plan.stills.size(), dir.c_str());
    return 0;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

int RunCapture(const cCaptureOptions& o) {
    const bool video = o.pngDirectory.empty() && o.stills.empty();
    // Before any work: a capture that cannot be encoded is not started.
    if (video && !MissingFfmpeg().empty()) return Fail(MissingFfmpeg());
    // 4:2:0 video needs even sides.
    if (video && (o.width % 2 || o.height % 2)) return Fail("an MP4 needs an even width and height (--size)");
    cFramePlan plan;
    plan.first = FirstFrameFrom(o.start, o.fps);
    plan.end = o.duration < 0 ? -1 : plan.first + std::max<int64_t>(1, NearestFrame(o.duration, o.fps));
    for (double t : o.stills) plan.stills.push_back(NearestFrame(t, o.fps));

    cOffscreenGl gl;
    cCaptureMusic music(o.fps);
    std::string error;
    if (!StartUp(o, gl, music, error)) return Fail(error);
    std::fprintf(Console(), "rendering with %s, %dx%d at %d fps\n", gl.Description().c_str(), o.width, o.height, o.fps);
    std::vector<uint8_t> rgb(size_t(o.width) * o.height * 3);
    gPresentation.gl = &gl;

    if (!o.stills.empty()) return CaptureStills(o, plan, music, rgb);
    if (!o.pngDirectory.empty()) return CapturePngs(o, plan, music, rgb);
    return CaptureVideo(o, plan, music, rgb);
}
