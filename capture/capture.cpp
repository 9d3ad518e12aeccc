// Capture run: start-up as the demo's, the frame plan, the music, then the
// frames through DrawFrame with a presenter that reads each one back.
#include "capture/capture.h"

#include "base/beat.h"
#include "base/context_query.h"
#include "capture/capture_clock.h"
#include "capture/capture_music.h"
#include "capture/ffmpeg_encoder.h"
#include "capture/mp4_continue.h"
#include "capture/mp4_index.h"
#include "capture/music_file.h"
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
    if (wanted)
        DrawFrame();
    else
        DrawUnseenFrame();
}

// Creates dir and the directories above it where missing; false when it
// cannot or a file is in the way.
bool MakeDirectory(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return std::filesystem::is_directory(dir, error);
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
    if (!music.Load(kSongFile, error)) {
        error = std::string(kSongFile) + ": " + error;
        return false;
    }
    gSongTime = 0.0;
    StartDemo(music.Song(), ReadBackFrame);
    return true;
}

// Draws frames 0 .. last in order and hands each one wanted to write, with
// the frame read back into rgb; false when write refuses one. A quit
// signal (gQuit) stops it after the frame in hand.
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
    return ok;
}

// The message of a capture a quit signal stopped after written frames of
// the range, which part holds: the options that finish it.
int Stopped(int64_t written, const std::string& part, const std::string& nextOutput) {
    if (written == 0) return Fail("stopped by a signal before the first frame of the range; nothing was written");
    return Fail("stopped by a signal after " + std::to_string(written) + " frames; " + part +
                " holds them. The same options with --continue " + part + nextOutput +
                " capture the rest and write the whole range into one file.");
}

// Closes the descriptor when it is one.
void CloseFile(int fd) {
    if (fd >= 0) close(fd);
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

// Reads the part a capture continues and checks it against the options.
std::string ReadPart(const cCaptureOptions& o, cPartVideo& part) {
    if (o.continued.empty()) return "";
    const std::string error = ReadPartVideo(o.continued, part);
    if (!error.empty()) return error;
    if (part.width == o.width && part.height == o.height && part.fps == o.fps) return "";
    return o.continued + " holds " + std::to_string(part.width) + "x" + std::to_string(part.height) + " frames at " +
           std::to_string(part.fps) + " fps: continue it with the options it was captured with";
}

int CaptureVideo(const cCaptureOptions& o, cFramePlan plan, cCaptureMusic& music, std::vector<uint8_t>& rgb) {
    const std::string output = o.output.empty() ? kDefaultVideoFile : o.output;
    const bool continuing = !o.continued.empty();
    cPartVideo part;
    std::string error = ReadPart(o, part);
    if (!error.empty()) return Fail(error);
    // The music of the whole range, also when continuing: the part's own
    // sound is left out, so that none of it is cut or heard twice.
    const int wav = RenderMusicFile(music, plan.first, plan.end, error);
    if (wav < 0) return Fail(error);
    if (plan.end <= plan.first) {
        close(wav);
        return Fail("nothing to capture: --start lies after the end of the music's first pass");
    }
    if (part.frames > plan.end - plan.first) {
        close(wav);
        return Fail(o.continued + " holds more frames than the range: continue it with the options it was captured with");
    }
    const int64_t resume = plan.first + part.frames;  // the first frame to draw and write
    int head = -1, rest = -1;                         // the part's frames and the new ones, when continuing
    if (continuing && (head = UnnamedTemporaryFile(error)) >= 0) error = CopyPartFrames(o.continued, part.frames, head);
    if (continuing && error.empty() && resume < plan.end) rest = UnnamedTemporaryFile(error);
    if (!error.empty()) {
        for (int fd : {wav, head, rest}) CloseFile(fd);
        return Fail(error);
    }

    // A capture in one piece encodes its music with the frames; a
    // continuation encodes the new frames alone.
    cTimes times;
    int64_t written = 0;  // frames ffmpeg has taken
    bool ok = true;
    if (resume < plan.end) {
        cVideoSettings settings{output, continuing ? rest : -1, continuing ? -1 : wav, o.width, o.height, o.fps, o.crf};
        cFfmpegEncoder encoder;
        if (!encoder.Start(settings, error)) {
            for (int fd : {wav, head, rest}) CloseFile(fd);
            return Fail(error);
        }
        auto inRange = [&](int64_t frame) { return frame >= resume; };
        auto encode = [&](int64_t) {
            if (!encoder.WriteFrame(rgb.data())) return false;
            ++written;
            return true;
        };
        ok = RunFrames(plan.end - 1, inRange, music, rgb, encode, times);
        // Ending ffmpeg's input lets it finish the file, also after a quit
        // signal.
        const cClock::time_point finishing = cClock::now();
        error = encoder.Finish();
        times.output += Since(finishing);
    } else {
        EndDemo();  // the part holds every frame: none is drawn
    }
    // A signal after the last frame was taken stops nothing.
    const bool stopped = gQuit && resume + written < plan.end;
    const int64_t frames = part.frames + written;  // frames of the range in the result
    const cClock::time_point finishing = cClock::now();
    if (continuing && error.empty() && (ok || stopped)) {
        // A continuation stopped again keeps its frames and their music: the
        // result is a part like any other.
        if (stopped && !CutMusicFile(wav, plan.first, plan.first + frames, o.fps))
            error = "cannot cut the music to the frames written";
        if (error.empty()) error = JoinParts(head, part.frames, rest, written, wav, o.fps, output);
    } else if (error.empty() && written > 0) {
        // A file ffmpeg closed in order gets its index at the front.
        const std::string indexError = FinishMp4(output, written, o.fps);
        if (!indexError.empty())
            std::fprintf(stderr, "vindelkrok-capture: %s; %s stays fragmented (it plays; its index is spread over it)\n",
                         indexError.c_str(), output.c_str());
    }
    times.output += Since(finishing);
    for (int fd : {wav, head, rest}) CloseFile(fd);
    if (stopped && frames == 0) std::remove(output.c_str());
    if (stopped && (error.empty() || frames == 0)) return Stopped(frames, output, " and another --output");
    if (stopped && continuing) return Fail("stopped by a signal; " + error + "; " + o.continued + " is as it was");
    if (stopped) return Fail("stopped by a signal; " + error + "; " + output + " plays up to its last whole fragment");
    if (!error.empty()) return Fail(error);
    if (!ok) return Fail("ffmpeg stopped taking frames");
    std::fprintf(Console(), "wrote %s: %lld frames, %.3f s at %d fps, %dx%d\n", output.c_str(),
                static_cast<long long>(plan.end - plan.first), double(plan.end - plan.first) / o.fps, o.fps,
                o.width, o.height);
    if (continuing)
        std::fprintf(Console(), "%lld frames copied from %s, %lld captured after them\n",
                     static_cast<long long>(part.frames), o.continued.c_str(), static_cast<long long>(written));
    ReportTimes(times);
    return 0;
}

// The name of PNG frame index of a sequence.
std::string PngName(const std::string& dir, int64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(index));
    return dir + name;
}

// The frames a stopped PNG capture in dir holds, from frame-000000.png on
// (each is there only once whole), copied into to unless it is the same
// directory; -1 when a copy fails.
int64_t TakePngFrames(const std::string& dir, const std::string& to) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(dir, to, error);
    int64_t frames = 0;
    for (; std::filesystem::is_regular_file(PngName(dir, frames), error); ++frames) {
        if (same) continue;
        const auto overwrite = std::filesystem::copy_options::overwrite_existing;
        if (!std::filesystem::copy_file(PngName(dir, frames), PngName(to, frames), overwrite, error)) return -1;
    }
    return frames;
}

int CapturePngs(const cCaptureOptions& o, cFramePlan plan, cCaptureMusic& music, std::vector<uint8_t>& rgb) {
    const std::string dir = o.pngDirectory;
    std::error_code missing;
    if (!o.continued.empty() && !std::filesystem::is_directory(o.continued, missing))
        return Fail(o.continued + " is not the directory of a PNG capture");
    if (!MakeDirectory(dir)) return Fail("cannot make the directory " + dir);
    const int64_t kept = o.continued.empty() ? 0 : TakePngFrames(o.continued, dir);
    if (kept < 0) return Fail("cannot copy the frames of " + o.continued + " into " + dir);
    cWavFile wav;
    const std::string wavPath = dir + "/audio.wav";
    bool ok = wav.Open(wavPath, kCaptureRate, 2);
    if (ok) plan.end = music.Render(plan.first, plan.end, [&](const int16_t* s, int n) { return wav.Write(s, n); });
    if (!wav.Close() || !ok || plan.end < 0) return Fail("cannot write the music to " + wavPath);
    if (plan.end <= plan.first) return Fail("nothing to capture: --start lies after the end of the music's first pass");
    if (kept > plan.end - plan.first)
        return Fail(o.continued + " holds more frames than the range: continue it with the options it was captured with");

    const int64_t resume = plan.first + kept;
    cTimes times;
    std::string failed;
    int64_t written = 0;
    auto inRange = [&](int64_t frame) { return frame >= resume; };
    // Numbered from 0 at the first frame of the range.
    auto writePng = [&](int64_t frame) {
        const std::string name = PngName(dir, frame - plan.first);
        if (WritePngFile(name, o.width, o.height, rgb.data())) return ++written, true;
        failed = name;
        return false;
    };
    if (resume < plan.end)
        ok = RunFrames(plan.end - 1, inRange, music, rgb, writePng, times);
    else
        EndDemo();  // the part holds every frame: none is drawn
    if (gQuit && resume + written < plan.end) {
        // The music then ends with the last frame written.
        if (!CutMusicFile(wavPath, plan.first, resume + written, o.fps)) return Fail("cannot cut " + wavPath);
        return Stopped(kept + written, dir, " and the same --png");
    }
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
