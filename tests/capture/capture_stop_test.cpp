// vindelkrok-capture stopped from outside while it writes an MP4, as a
// closed terminal or a kill stops it: started in a session of its own, with
// an ffmpeg that reads the frames no faster than the video plays, so the
// capture is still running when the signal comes. It comes once ffprobe
// reads at least a second of frames from the file.
//
// Seven seconds of a test song from 16 s at 30 fps, the picture changing
// from frame to frame.
#include "tests/support/capture_kit.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <regex>

using namespace capturetest;

namespace {

constexpr int kWidth = 160, kHeight = 120, kFps = 30;
const std::string kShape = "--fps 30 --size 160x120";
const std::string kRange = "--start 16 --duration 7 " + kShape;
constexpr int64_t kFrames = 7 * kFps;
// Decoded H.264 of the same frame differs by this much at most between two
// encodings (mean over the channel values).
constexpr double kEncoderTolerance = 2.0;

cXmModule Song() {
    cXmModule m = TestModule(2, 33, 2, 32, 6, 125);
    m.orders = {0, 0, 0, 0, 1, 1, 1, 1};
    return m;
}

int64_t Frames(const std::string& video) { return std::stoll("0" + Probe(video, "v:0", "nb_read_frames")); }

class StoppedCapture : public ::testing::Test {
protected:
    // One capture hung up as a closing terminal does: SIGHUP to its whole
    // process group.
    static void SetUpTestSuite() {
        dir = MakeWorkDirectory();
        WriteBytes(dir + "/Data/damp.xm", EncodeXm(Song()));
        const pid_t capture = StartCapture(dir, kRange + " --output part1.mp4", PacedFfmpeg(dir));
        if (capture <= 0) return;
        readable = FramesOnceReadable(dir + "/part1.mp4", kFps, capture);
        kill(-capture, SIGHUP);
        status = WaitCapture(capture, dir, log);
        std::smatch m;
        if (std::regex_search(log, m, std::regex("after (\\d+) frames")))
            written = std::stoll(m[1]);
        if (std::regex_search(log, m, std::regex("with (--start \\S+ --duration \\S+) and another --output")))
            rest = m[1];
    }
    static void TearDownTestSuite() { RemoveDirectory(dir); }

    static std::string dir, log, rest;
    static int64_t readable, written;
    static int status;
};
std::string StoppedCapture::dir, StoppedCapture::log, StoppedCapture::rest;
int64_t StoppedCapture::readable = -1, StoppedCapture::written = -1;
int StoppedCapture::status = -1;

}  // namespace

TEST_F(StoppedCapture, HangUpOfTheWholeGroupLeavesEveryFrameWrittenInAClosedFile) {
    ASSERT_GE(readable, kFps) << "the MP4 was not readable while written\n" << log;
    EXPECT_EQ(status, 1) << log;
    ASSERT_GE(written, readable) << log;
    EXPECT_LT(written, kFrames) << "the capture ended before the signal\n" << log;
    // ffmpeg did not hear the hang-up: it took every frame and closed the file.
    EXPECT_EQ(Frames(dir + "/part1.mp4"), written) << log;
}

TEST_F(StoppedCapture, ContinuationFromThePrintedStartJoinsIntoTheWholeRange) {
    ASSERT_FALSE(rest.empty()) << log;
    std::string output;
    ASSERT_EQ(RunCapture(dir, rest + " " + kShape + " --output part2.mp4", output), 0) << output;
    ASSERT_EQ(RunCapture(dir, kRange + " --output whole.mp4", output), 0) << output;
    std::ofstream(dir + "/parts.txt") << "file 'part1.mp4'\nfile 'part2.mp4'\n";
    ASSERT_EQ(std::system(("cd '" + dir + "' && ffmpeg -nostdin -v error -f concat -i parts.txt -c copy joined.mp4").c_str()),
              0);

    const std::string join = dir + "/joined.mp4";
    EXPECT_EQ(Frames(join), kFrames);
    // No gap at the seam: the first part's music ends with its frames (each
    // part's AAC may end up to two of its 1024-sample frames late).
    EXPECT_NEAR(std::stod("0" + Probe(join, "v:0", "duration")), 7.0, 1.0 / kFps);
    EXPECT_NEAR(std::stod("0" + Probe(join, "a:0", "duration")), 7.0, 0.1);
    const std::vector<cImage> joined = DecodeVideo(join, kWidth, kHeight);
    const std::vector<cImage> whole = DecodeVideo(dir + "/whole.mp4", kWidth, kHeight);
    ASSERT_EQ(whole.size(), size_t(kFrames));
    ASSERT_EQ(joined.size(), size_t(kFrames));
    // The first and last frames, and the two either side of the seam (where
    // a continuation a frame early or late would show), each nearer the
    // uninterrupted capture's frame at its time than its neighbours.
    const size_t seam = size_t(written);
    for (size_t i : {size_t(0), seam - 1, seam, size_t(kFrames - 1)}) {
        const double difference = MeanDifference(joined[i], whole[i]);
        EXPECT_LE(difference, kEncoderTolerance) << "frame " << i;
        if (i > 0) {
            EXPECT_LT(difference, MeanDifference(joined[i], whole[i - 1])) << "frame " << i;
        }
        if (i + 1 < whole.size()) {
            EXPECT_LT(difference, MeanDifference(joined[i], whole[i + 1])) << "frame " << i;
        }
    }
}

TEST(KilledCapture, MP4PlaysUpToTheLastFragmentBeforeTheKill) {
    const std::string dir = MakeWorkDirectory();
    WriteBytes(dir + "/Data/damp.xm", EncodeXm(Song()));
    const pid_t capture = StartCapture(dir, kRange + " --output killed.mp4", PacedFfmpeg(dir));
    ASSERT_GT(capture, 0);
    const int64_t readable = FramesOnceReadable(dir + "/killed.mp4", kFps, capture);
    const pid_t ffmpeg = ChildOf(capture);
    // Both at once, the encoder first so that it cannot close the file.
    if (ffmpeg > 0) kill(ffmpeg, SIGKILL);
    kill(capture, SIGKILL);
    std::string log;
    EXPECT_EQ(WaitCapture(capture, dir, log), -1);
    ASSERT_GT(ffmpeg, 0) << log;
    ASSERT_TRUE(WaitUntilGone(ffmpeg, 10));
    ASSERT_GE(readable, kFps) << "the MP4 was not readable while written\n" << log;
    EXPECT_GE(Frames(dir + "/killed.mp4"), readable);
    EXPECT_LT(Frames(dir + "/killed.mp4"), kFrames);
    RemoveDirectory(dir);
}
