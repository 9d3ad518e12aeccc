// vindelkrok-capture stopped from outside, as a closed terminal or a kill
// stops it, and then finished with --continue: the result must be the
// capture made in one piece. Started in a session of its own, with an
// ffmpeg that reads the frames no faster than the video plays, so the
// capture is still running when the signal comes, once a second of frames
// is readable (PNG frames need no ffmpeg and are stopped at frame 60).
//
// Five seconds of a test song from 16 s at 60 fps, the picture changing
// from frame to frame; every run has a temporary directory of its own,
// which must be empty at the end.
#include "tests/support/capture_kit.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

using namespace capturetest;

namespace {

constexpr int kWidth = 96, kHeight = 72, kFps = 60;
const std::string kRange = "--start 16 --duration 5 --fps 60 --size 96x72";
constexpr int64_t kFrames = 5 * kFps;
constexpr int64_t kSamplesPerFrame = 48000 / kFps;
// Decoded H.264 of the same frame differs by this much at most between two
// encodings (mean over the channel values).
constexpr double kEncoderTolerance = 2.0;

cXmModule Song() {
    cXmModule m = TestModule(2, 33, 2, 32, 6, 125);
    m.orders = {0, 0, 0, 0, 1, 1, 1, 1};
    return m;
}

std::string PngFrame(const std::string& dir, int64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(index));
    return dir + name;
}

// The first group of pattern in text, or "".
std::string Find(const std::string& text, const std::string& pattern) {
    std::smatch m;
    return std::regex_search(text, m, std::regex(pattern)) ? std::string(m[1]) : "";
}

// How a capture is stopped, and what it writes.
struct cStop {
    const char* name;
    bool png;   // PNG frames and audio.wav, else an MP4
    bool kill;  // SIGKILL to the capture and its ffmpeg, else SIGHUP to its group
};

class StoppedCapture : public ::testing::TestWithParam<cStop> {
protected:
    // The same range captured in one piece, as an MP4 and as PNG frames.
    static void SetUpTestSuite() {
        dir = MakeWorkDirectory();
        WriteBytes(dir + "/Data/damp.xm", EncodeXm(Song()));
        std::filesystem::create_directory(dir + "/tmp");
        status = RunCapture(dir, kRange + " --output whole.mp4", log, "TMPDIR=" + dir + "/tmp");
        if (status == 0) status = RunCapture(dir, kRange + " --png whole", log);
    }
    static void TearDownTestSuite() { RemoveDirectory(dir); }

    static std::string dir, log;
    static int status;
};
std::string StoppedCapture::dir, StoppedCapture::log;
int StoppedCapture::status = -1;

}  // namespace

TEST_P(StoppedCapture, ContinuedGivesTheFramesAndMusicOfTheCaptureInOnePiece) {
    const cStop& stop = GetParam();
    ASSERT_EQ(status, 0) << log;
    const std::string part = stop.png ? std::string("part-") + stop.name : std::string("part-") + stop.name + ".mp4";
    const std::string output = stop.png ? " --png " + part : " --output " + part;
    const std::string environment = PacedFfmpeg(dir) + " TMPDIR=" + dir + "/tmp";
    const pid_t capture = StartCapture(dir, kRange + output, environment);
    ASSERT_GT(capture, 0);
    if (stop.png) {
        for (int i = 0; i < 600 && !std::filesystem::exists(PngFrame(dir + "/" + part, kFps)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } else {
        ASSERT_GE(FramesOnceReadable(dir + "/" + part, kFps, capture), kFps) << "the MP4 was not readable while written";
    }
    const pid_t ffmpeg = ChildOf(capture);
    if (stop.kill) {
        // Both at once, the encoder first so that it cannot close the file.
        if (ffmpeg > 0) kill(ffmpeg, SIGKILL);
        kill(capture, SIGKILL);
    } else {
        kill(-capture, SIGHUP);
    }
    std::string stopped;
    const int stoppedStatus = WaitCapture(capture, dir, stopped);
    if (ffmpeg > 0) {
        EXPECT_TRUE(WaitUntilGone(ffmpeg, 10));
    }
    std::string continued = "--continue " + part;
    if (!stop.kill) {
        ASSERT_EQ(stoppedStatus, 1) << stopped;
        const int64_t written = std::stoll("0" + Find(stopped, "after (\\d+) frames"));
        ASSERT_GT(written, 0) << stopped;
        EXPECT_LT(written, kFrames) << "the capture ended before the signal\n" << stopped;
        // What the stopped capture holds: every frame written, and for PNG
        // frames the music of exactly those (44 bytes of WAV header).
        if (stop.png) {
            EXPECT_EQ(std::filesystem::file_size(dir + "/" + part + "/audio.wav"), 44 + 4 * written * kSamplesPerFrame);
        } else {
            EXPECT_EQ(Probe(dir + "/" + part, "v:0", "nb_read_frames"), std::to_string(written)) << stopped;
        }
        continued = Find(stopped, "with (--continue \\S+)");
    } else {
        EXPECT_EQ(stoppedStatus, -1) << stopped;
    }

    // The printed options, continued into another output (PNG in place).
    const std::string joined = stop.png ? part : "joined-" + std::string(stop.name) + ".mp4";
    std::string out;
    ASSERT_EQ(RunCapture(dir, kRange + " " + continued + (stop.png ? output : " --output " + joined), out,
                         "TMPDIR=" + dir + "/tmp"), 0) << stopped << out;
    EXPECT_TRUE(std::filesystem::is_empty(dir + "/tmp")) << "left in the temporary directory";
    if (stop.png) {
        for (int64_t i = 0; i < kFrames; ++i)
            ASSERT_TRUE(ReadPng(PngFrame(dir + "/whole", i)) == ReadPng(PngFrame(dir + "/" + part, i))) << "frame " << i;
        EXPECT_FALSE(std::filesystem::exists(PngFrame(dir + "/" + part, kFrames)));
        EXPECT_TRUE(DecodeAudio(dir + "/whole/audio.wav") == DecodeAudio(dir + "/" + part + "/audio.wav"));
        return;
    }
    const std::string whole = dir + "/whole.mp4", result = dir + "/" + joined;
    const int64_t seam = std::stoll("0" + Find(out, "(\\d+) frames copied"));
    ASSERT_GT(seam, 0) << out;
    // The same frames at the same times, the plain layout with one index
    // at the front.
    EXPECT_EQ(FrameTimes(result), FrameTimes(whole));
    const std::vector<std::string> boxes = TopLevelBoxes(result);
    EXPECT_EQ(std::vector<std::string>(boxes.begin(), boxes.begin() + std::min<size_t>(2, boxes.size())),
              (std::vector<std::string>{"ftyp", "moov"}));
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "moof"), 0);
    // The two frames either side of the seam (where a continuation a frame
    // early or late would show), each nearer the uninterrupted capture's
    // frame at its time than its neighbours.
    const std::vector<cImage> a = DecodeVideo(result, kWidth, kHeight), b = DecodeVideo(whole, kWidth, kHeight);
    ASSERT_EQ(a.size(), size_t(kFrames));
    ASSERT_EQ(b.size(), size_t(kFrames));
    for (size_t i : {size_t(seam - 1), size_t(seam)}) {
        if (i + 1 >= b.size()) continue;
        const double difference = MeanDifference(a[i], b[i]);
        EXPECT_LE(difference, kEncoderTolerance) << "frame " << i;
        EXPECT_LT(difference, MeanDifference(a[i], b[i - 1])) << "frame " << i;
        EXPECT_LT(difference, MeanDifference(a[i], b[i + 1])) << "frame " << i;
    }
    // The music: the same encoder on the same samples, so the same decoded
    // samples, none missing or twice at the seam.
    const std::vector<int16_t> music = DecodeAudio(result), wholeMusic = DecodeAudio(whole);
    ASSERT_EQ(music.size(), wholeMusic.size());
    EXPECT_TRUE(music == wholeMusic);
}

INSTANTIATE_TEST_SUITE_P(Stops, StoppedCapture,
                         ::testing::Values(cStop{"hangup", false, false}, cStop{"kill", false, true},
                                           cStop{"hanguppng", true, false}),
                         [](const ::testing::TestParamInfo<cStop>& info) { return std::string(info.param.name); });
