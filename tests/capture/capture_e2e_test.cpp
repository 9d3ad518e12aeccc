// vindelkrok-capture run as a program, without a display, on a test module:
// two seconds at 30 fps around song time 24 as an MP4 and as PNG frames with
// a WAV, the same range again, and a machine without ffmpeg.
//
// The module plays orders 0 to 3 (one 32-row pattern, 3.84 s each), then
// order 4 from 15.36 s: composition 3, whose gears leave the fog off, so the
// flashes are pure white. In it instrument 13 beats once, on row 64: at
// 23.04 s, between the frames at 23.0333 and 23.0667. That flash is over by
// 23.44 s, before the fixed one at 24 s begins to rise.
#include "tests/support/capture_kit.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace capturetest;

namespace {

constexpr int kWidth = 160, kHeight = 120;
const char* const kRange = "--start 23 --duration 2 --fps 30 --size 160x120";
constexpr double kBeat = 23.04;
// Frames of the range: 23.0 s is frame 0; the beat falls between 1 and 2.
constexpr int kBeforeBeat = 1, kAfterBeat = 2, kAt24 = 30, kFrames = 60;

// The song, with or without its beat.
cXmModule ShortSong(bool beat = true) {
    cXmModule m = TestModule(2, 33, 2, 32, 6, 125);
    m.patterns[1] = cXmPattern(128, 2);
    m.orders = {0, 0, 0, 0, 1};
    if (beat) m.patterns[1].At(64, 0) = Note(13);
    return m;
}

std::string FrameFile(const std::string& dir, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", index);
    return dir + name;
}

class ShortCapture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = MakeWorkDirectory();
        WriteBytes(dir + "/Data/damp.xm", EncodeXm(ShortSong()));
        pngStatus = RunCapture(dir, std::string(kRange) + " --png frames", pngLog);
        // Started with standard input closed: the files it opens must not be
        // taken for it.
        mp4Status = RunCapture(dir, std::string(kRange) + " --output short.mp4 <&-", mp4Log);
        beatlessDir = MakeWorkDirectory();
        WriteBytes(beatlessDir + "/Data/damp.xm", EncodeXm(ShortSong(false)));
        beatlessStatus = RunCapture(beatlessDir, std::string(kRange) + " --png frames", beatlessLog);
    }
    static void TearDownTestSuite() {
        RemoveDirectory(dir);
        RemoveDirectory(beatlessDir);
    }

    static cImage Frame(int index) { return ReadPng(FrameFile(dir + "/frames", index)); }

    static std::string dir, pngLog, mp4Log, beatlessDir, beatlessLog;
    static int pngStatus, mp4Status, beatlessStatus;
};
std::string ShortCapture::dir, ShortCapture::pngLog, ShortCapture::mp4Log;
std::string ShortCapture::beatlessDir, ShortCapture::beatlessLog;
int ShortCapture::pngStatus = -1, ShortCapture::mp4Status = -1, ShortCapture::beatlessStatus = -1;

}  // namespace

TEST_F(ShortCapture, VideoHasEveryFrameAndTheMusicOfTheRange) {
    ASSERT_EQ(mp4Status, 0) << mp4Log;
    const std::string video = dir + "/short.mp4";
    EXPECT_EQ(Probe(video, "v:0", "codec_name"), "h264");
    EXPECT_EQ(Probe(video, "v:0", "nb_read_frames"), "60");
    EXPECT_EQ(Probe(video, "v:0", "r_frame_rate"), "30/1");
    EXPECT_EQ(Probe(video, "a:0", "codec_name"), "aac");
    EXPECT_EQ(Probe(video, "a:0", "sample_rate"), "48000");
    // The music of exactly the frames: AAC ends on a whole block of 1024
    // samples, so up to 1023 more.
    const size_t samples = DecodeAudio(video).size() / 2;
    EXPECT_GE(samples, 2u * 48000) << mp4Log;
    EXPECT_LT(samples, 2u * 48000 + 1024) << mp4Log;
    // The plain layout: one index, at the front.
    const std::vector<std::string> boxes = TopLevelBoxes(video);
    ASSERT_GE(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], "ftyp");
    EXPECT_EQ(boxes[1], "moov");
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "moof"), 0);
}

TEST_F(ShortCapture, PngFramesComeWithTheMusicAsAWav) {
    ASSERT_EQ(pngStatus, 0) << pngLog;
    for (int i = 0; i < kFrames; ++i) EXPECT_TRUE(std::filesystem::exists(FrameFile(dir + "/frames", i))) << i;
    EXPECT_FALSE(std::filesystem::exists(FrameFile(dir + "/frames", kFrames)));
    // Two seconds of 16-bit stereo at 48000 Hz after the 44-byte header.
    EXPECT_EQ(std::filesystem::file_size(dir + "/frames/audio.wav"), 44u + 2 * 48000 * 4);
    EXPECT_EQ(Frame(0).width, kWidth);
    EXPECT_EQ(Frame(0).height, kHeight);
}

TEST_F(ShortCapture, FrameAtSongTime24IsCompletelyWhite) {
    ASSERT_EQ(pngStatus, 0) << pngLog;
    const cImage white = Frame(kAt24);
    ASSERT_EQ(white.rgb.size(), size_t(kWidth) * kHeight * 3);
    EXPECT_EQ(white.rgb, std::vector<uint8_t>(white.rgb.size(), 255));
    // The frames beside it are not: the flash rises and falls.
    EXPECT_NE(Frame(kAt24 - 1).rgb, white.rgb);
    EXPECT_NE(Frame(kAt24 + 1).rgb, white.rgb);

    ASSERT_EQ(mp4Status, 0) << mp4Log;
    const std::vector<cImage> video = DecodeVideo(dir + "/short.mp4", kWidth, kHeight);
    ASSERT_EQ(video.size(), size_t(kFrames));
    EXPECT_GE(*std::min_element(video[kAt24].rgb.begin(), video[kAt24].rgb.end()), 250);
}

TEST_F(ShortCapture, BeatFlashFollowsTheTriggerFromItsSampleExactTime) {
    ASSERT_EQ(pngStatus, 0) << pngLog;
    ASSERT_EQ(beatlessStatus, 0) << beatlessLog;
    const cImage before = Frame(kBeforeBeat), after = Frame(kAfterBeat);
    const cImage plainBefore = ReadPng(FrameFile(beatlessDir + "/frames", kBeforeBeat));
    const cImage plainAfter = ReadPng(FrameFile(beatlessDir + "/frames", kAfterBeat));
    ASSERT_EQ(after.rgb.size(), plainAfter.rgb.size());
    // Before the trigger the song with the beat looks like the one without.
    EXPECT_TRUE(before == plainBefore);
    // After it, the flash adds the same white to every pixel (and the white
    // gears have jumped towards the viewer). Composition 3 flashes from the
    // beat time less 0.1 s: at 23.0667 s, 0.0267 s after the beat, its alpha
    // is 0.921, adding 235 to what would be there without the beat. Had the
    // beat been taken at the frame's time it would add 243; at the frame
    // before, 227 a frame early. Seen where the frame is dark without the
    // beat and the gears do not cover it with the beat (255).
    const double t = 23.0 + double(kAfterBeat) / 30;
    const int flash = int(std::lround(255 * std::sin((kBeat - 0.1 - t + 0.5) * 3.1415)));
    ASSERT_EQ(flash, 235);
    int seen = 0, off = 0;
    for (size_t i = 0; i < after.rgb.size(); ++i) {
        if (plainAfter.rgb[i] >= 20 || after.rgb[i] == 255) continue;
        ++seen;
        off += std::abs(after.rgb[i] - (plainAfter.rgb[i] + flash)) > 1;
    }
    EXPECT_EQ(off, 0);
    EXPECT_GT(seen, int(after.rgb.size()) / 20) << "too few dark pixels to see the flash's strength";

    ASSERT_EQ(mp4Status, 0) << mp4Log;
    const std::vector<cImage> video = DecodeVideo(dir + "/short.mp4", kWidth, kHeight);
    ASSERT_EQ(video.size(), size_t(kFrames));
    auto mean = [](const cImage& f) {
        double sum = 0;
        for (uint8_t v : f.rgb) sum += v;
        return sum / double(f.rgb.size());
    };
    EXPECT_GT(mean(video[kAfterBeat]), mean(video[kBeforeBeat]) + 100);
}

TEST_F(ShortCapture, SameRangeAgainGivesTheSameFramesAndSoDoesALaterStart) {
    ASSERT_EQ(pngStatus, 0) << pngLog;
    std::string log;
    ASSERT_EQ(RunCapture(dir, std::string(kRange) + " --png again", log), 0) << log;
    for (int i = 0; i < kFrames; ++i)
        EXPECT_TRUE(Frame(i) == ReadPng(FrameFile(dir + "/again", i))) << "frame " << i;
    // Starting half a second later draws the frames before it too, unseen:
    // the same picture at the same song time.
    ASSERT_EQ(RunCapture(dir, "--start 23.5 --duration 1 --fps 30 --size 160x120 --png later", log), 0) << log;
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(Frame(15 + i) == ReadPng(FrameFile(dir + "/later", i))) << "frame " << 15 + i;
}

TEST(CaptureWithoutFfmpeg, SaysSoBeforeRenderingAndWritesNothing) {
    const std::string dir = MakeWorkDirectory();
    WriteBytes(dir + "/Data/damp.xm", EncodeXm(ShortSong()));
    std::filesystem::create_directory(dir + "/bin");  // a PATH without ffmpeg
    std::string log;
    EXPECT_EQ(RunCapture(dir, "--output x.mp4", log, "PATH=" + dir + "/bin"), 1);
    EXPECT_NE(log.find("ffmpeg is not installed"), std::string::npos) << log;
    EXPECT_EQ(log.find("rendering with"), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(dir + "/x.mp4"));
    // PNG frames need no ffmpeg.
    EXPECT_EQ(RunCapture(dir, "--duration 0.1 --size 64x48 --png f", log, "PATH=" + dir + "/bin"), 0) << log;
    EXPECT_TRUE(std::filesystem::exists(dir + "/f/frame-000002.png"));
    RemoveDirectory(dir);
}
