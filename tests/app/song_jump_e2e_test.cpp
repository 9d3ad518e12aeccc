// Watching from any moment, seen from outside: the jump keys and the pause
// of the demo in a window under Xvfb, on the generated Data/. Its song runs
// at 125 BPM, so every tick lasts 20 ms and each order starts on a frame of
// a 50 fps capture: the window after a jump is compared with the capture's
// frame at the same song time, within the pixel tests' tolerance. The music
// is written by SDL's disk driver, so what a pause does to it can be read.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "sound/offline.h"
#include "tests/support/capture_kit.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/song_scan.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {
namespace {

constexpr int kWidth = 800, kHeight = 600;
// The pixel tests' tolerance: a channel may be off by 4, in one pixel of a thousand.
constexpr int kTolerance = 4;
constexpr int kMaxDiffering = kWidth * kHeight / 1000;
constexpr int kRate = 22050;  // the demo's mixing rate

// Pixels of the window's picture with a channel off by more than the tolerance.
int Differing(const std::vector<uint8_t>& rgb, const capturetest::cImage& still) {
    if (still.width != kWidth || still.height != kHeight || rgb.size() != still.rgb.size()) return kWidth * kHeight;
    int differing = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(int(rgb[i + c]) - int(still.rgb[i + c])) > kTolerance) {
                ++differing;
                break;
            }
    return differing;
}

// A song time as the capture names its still.
std::string Seconds(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", t);
    return text;
}

// Stereo frames of 16-bit audio; frames(i) compares left and right at once.
struct cAudio {
    std::vector<int16_t> pcm;
    size_t Frames() const { return pcm.size() / 2; }
    uint32_t Frame(size_t i) const { return uint32_t(uint16_t(pcm[2 * i])) << 16 | uint16_t(pcm[2 * i + 1]); }
};

// Whether a's frames from i and b's from j agree for n frames.
bool Same(const cAudio& a, size_t i, const cAudio& b, size_t j, size_t n) {
    if (i + n > a.Frames() || j + n > b.Frames()) return false;
    for (size_t k = 0; k < n; ++k)
        if (a.Frame(i + k) != b.Frame(j + k)) return false;
    return true;
}

class SongJumpE2e : public cDemoTest {
protected:
    // The generated Data/, the demo's own copy, and its window once it draws.
    cWindowInfo StartDemo(cXDriver& x, const std::vector<std::string>& env, const std::vector<std::string>& args) {
        std::filesystem::copy(VK_DATA_DIR, dir + "/Data");
        demo = std::make_unique<cDemoProcess>(DemoProgram(), dir, env, true, args);
        const cWindowInfo window = x.WaitForMappedWindow(30);
        EXPECT_TRUE(demo->WaitForLine("fps: ", 30, true)) << demo->Output();
        return window;
    }
    std::unique_ptr<cDemoProcess> demo;
};

TEST_F(SongJumpE2e, JumpsShowWhatTheCaptureDrawsAtTheSameSongTime) {
    cXDriver x;
    ASSERT_TRUE(x.ok());
    const cWindowInfo window = StartDemo(x, {"SDL_AUDIODRIVER=dummy"}, {"--windowed"});
    ASSERT_NE(window.id, 0u);
    const cSongScan scan = ScanFirstPass(dir + "/Data/damp.xm");
    ASSERT_GE(scan.orderSequence.size(), 20u);
    for (int order = 0; order < 20; ++order) ASSERT_EQ(scan.orderSequence[size_t(order)], order);

    // Paused in the intro; every jump then shows its point and stays there.
    // The tunnel, road and gears of order 5, drawn with the blending the
    // frames before leave (from order 6, whose pictures leave it on, by Left
    // within its first second), the model in the rings (order 14), and the
    // beat cycle (order 18, from 19 by Left: the beat count goes back).
    struct cStep {
        int rights;
        bool left;
        int order;
    } const steps[] = {{6, true, 5}, {9, false, 14}, {5, true, 18}};
    x.Key(XK_space, window.id);
    std::vector<std::vector<uint8_t>> shots;
    std::string times;
    for (const cStep& step : steps) {
        for (int i = 0; i < step.rights; ++i) x.Key(XK_Right, window.id);
        if (step.left) x.Key(XK_Left, window.id);
        demo->ReadFor(1.5);
        shots.push_back(x.Grab(window.id, kWidth, kHeight));
        times += (times.empty() ? "" : ",") + Seconds(scan.orderStart[size_t(step.order)]);
    }
    x.Key(XK_Escape, window.id);
    EXPECT_EQ(demo->WaitForExit(15), 0) << demo->Output();

    std::string output;
    ASSERT_EQ(capturetest::RunCapture(dir, "--fps 50 --stills " + times + " --output stills", output), 0) << output;
    for (size_t i = 0; i < shots.size(); ++i) {
        const double t = scan.orderStart[size_t(steps[i].order)];
        const capturetest::cImage still = capturetest::ReadPng(dir + "/stills/still-" + Seconds(t) + ".png");
        EXPECT_LE(Differing(shots[i], still), kMaxDiffering) << "order " << steps[i].order << " at " << t << " s";
    }
}

TEST_F(SongJumpE2e, PauseHoldsPictureAndMusicAndResumesWhereTheMusicWasHeard) {
    cXDriver x;
    ASSERT_TRUE(x.ok());
    const std::string heard = dir + "/heard.raw";
    const cWindowInfo window =
        StartDemo(x, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + heard}, {"--windowed", "--start", "20"});
    ASSERT_NE(window.id, 0u);
    demo->ReadFor(1.5);
    x.Key(XK_space, window.id);
    demo->ReadFor(0.5);
    const std::vector<uint8_t> held = x.Grab(window.id, kWidth, kHeight);
    demo->ReadFor(2.5);
    EXPECT_TRUE(held == x.Grab(window.id, kWidth, kHeight)) << "the picture moved while paused";
    x.Key(XK_space, window.id);
    demo->ReadFor(1.5);
    x.Key(XK_Escape, window.id);
    ASSERT_EQ(demo->WaitForExit(15), 0) << demo->Output();

    // What was heard: silence, the song from 20 s, silence for the pause,
    // then the song on from the frame heard when it was paused.
    cAudio file, song;
    std::ifstream in(heard, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file.pcm.resize(bytes.size() / 2);
    std::memcpy(file.pcm.data(), bytes.data(), file.pcm.size() * 2);
    FMUSIC_MODULE* offline = LoadOfflineSong((dir + "/Data/damp.xm").c_str(), kRate);
    ASSERT_TRUE(offline);
    std::vector<cSoundEvent> events;
    song.pcm.resize(2 * size_t(30 * kRate));
    RenderOfflineSong(offline, song.pcm.data(), int(song.Frames()), events);
    FMUSIC_FreeSong(offline);
    const size_t from = size_t(20 * kRate);

    size_t start = 0;  // where the song's frame `from` lies in the file
    while (start < 4 * size_t(kRate) && !Same(file, start, song, from, kRate)) ++start;
    ASSERT_LT(start, 4 * size_t(kRate)) << "the song from 20 s is not in what was heard";
    size_t played = kRate;
    while (Same(file, start + played, song, from + played, 1)) ++played;
    size_t silent = 0;
    while (start + played + silent < file.Frames() && file.Frame(start + played + silent) == 0) ++silent;
    EXPECT_GE(silent, size_t(2 * kRate)) << "the music was not silent while paused";
    // On again from the frame heard at the pause: within the last buffer
    // the output took (512 frames), not later, not from further back.
    const size_t resumed = start + played + silent;
    bool found = false;
    for (size_t back = 0; back <= 1024 && !found; ++back)
        found = Same(file, resumed, song, from + played - back, kRate / 2);
    EXPECT_TRUE(found) << "the music did not go on from where it was paused";
}

}  // namespace
}  // namespace e2e
