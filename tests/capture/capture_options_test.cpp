// The capture's command line, frame clock, the times it prints for
// continuing, progress line and WAV file.
#include "capture/capture_clock.h"
#include "capture/capture_options.h"
#include "capture/capture_resume.h"
#include "capture/progress_bar.h"
#include "sound/wav_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Parses the arguments after the program name; the error text.
std::string Parse(std::vector<const char*> args, cCaptureOptions& options) {
    args.insert(args.begin(), "vindelkrok-capture");
    return ParseCaptureOptions(int(args.size()), args.data(), options);
}

}  // namespace

TEST(CaptureOptions, DefaultsAreTheDemosFirstPassAt60FpsIn800x600) {
    cCaptureOptions o;
    EXPECT_EQ(Parse({}, o), "");
    EXPECT_EQ(o.fps, 60);
    EXPECT_EQ(o.start, 0.0);
    EXPECT_LT(o.duration, 0.0);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_TRUE(o.output.empty() && o.pngDirectory.empty() && o.stills.empty() && !o.help);
}

TEST(CaptureOptions, TakesValuesAsTheNextArgumentOrAfterAnEqualsSign) {
    cCaptureOptions o;
    EXPECT_EQ(Parse({"--fps", "30", "--start=23.5", "--duration", "2", "--size=320x240", "--output", "a.mp4"}, o), "");
    EXPECT_EQ(o.fps, 30);
    EXPECT_EQ(o.start, 23.5);
    EXPECT_EQ(o.duration, 2.0);
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 240);
    EXPECT_EQ(o.output, "a.mp4");

    cCaptureOptions s;
    EXPECT_EQ(Parse({"--stills", "2,24,50.3", "--output", "docs"}, s), "");
    EXPECT_EQ(s.stills, (std::vector<double>{2, 24, 50.3}));
    EXPECT_EQ(s.stillNames, (std::vector<std::string>{"2", "24", "50.3"}));

    cCaptureOptions h;
    EXPECT_EQ(Parse({"--png", "frames", "--help"}, h), "");
    EXPECT_TRUE(h.help);
    EXPECT_EQ(h.pngDirectory, "frames");
}

TEST(CaptureOptions, RejectsValuesThatMakeNoCaptureAndSaysWhichOne) {
    const std::vector<std::vector<const char*>> bad = {
        {"--fps", "0"},         {"--fps", "30.5"},     {"--fps", "241"},       {"--fps"},
        {"--start", "-1"},      {"--start", "nan"},    {"--duration", "0"},    {"--duration", "inf"},
        {"--size", "800"},      {"--size", "8x600"},   {"--size", "800x600x"}, {"--size", "-800x600"},
        {"--stills", "1,,2"},   {"--stills", "1,-2"},  {"--stills", ""},       {"--frobnicate"},
        {"--png", "d", "--stills", "1"},               {"--png", "d", "--output", "x.mp4"}};
    for (const auto& args : bad) {
        cCaptureOptions o;
        const std::string error = Parse(args, o);
        EXPECT_NE(error, "") << args[0];
        EXPECT_NE(error.find(args[0]), std::string::npos) << error;
    }
}

TEST(CaptureClock, AnEventExactlyAtAFramesTimeIsHeardByThatFrameAndNotBefore) {
    // 30 fps at 48000 Hz: a frame every 1600 samples.
    EXPECT_EQ(FrameSample(711, 30, 48000), 711 * 1600);
    EXPECT_TRUE(HeardBy(711 * 1600, 48000, 711, 30));
    EXPECT_FALSE(HeardBy(711 * 1600 + 1, 48000, 711, 30));
    EXPECT_FALSE(HeardBy(711 * 1600, 48000, 710, 30));
    // 7 fps: frame 1 lies at 6857.14 samples; its audio starts on the next one.
    EXPECT_EQ(FrameSample(1, 7, 48000), 6858);
    EXPECT_TRUE(HeardBy(6857, 48000, 1, 7));
    EXPECT_FALSE(HeardBy(6858, 48000, 1, 7));
    // Times meant to be on a frame are, despite binary fractions.
    EXPECT_EQ(FirstFrameFrom(23.1, 30), 693);
    EXPECT_EQ(FirstFrameFrom(2.2, 25), 55);  // 2.2 * 25 is 55.00000000000001 in double
    EXPECT_EQ(FirstFrameFrom(23.11, 30), 694);
    EXPECT_EQ(NearestFrame(50.3, 60), 3018);
    EXPECT_EQ(FrameTime(3018, 60), 50.3);
}

TEST(CaptureResume, PrintedTimesReadBackAsTheSameFrameAtEveryRate) {
    // Rounded to six decimals, 50 frames at 30 fps would read 1.666667 and
    // start a frame late.
    for (int fps = 1; fps <= 240; ++fps) {
        for (int64_t frames : {int64_t(1), int64_t(fps) - 1, int64_t(fps) + 1, int64_t(50), int64_t(7919),
                               int64_t(fps) * 86399 + 1}) {
            if (frames < 1) continue;
            const std::string seconds = FramesAsSeconds(frames, fps);
            cCaptureOptions o;
            const std::string fpsText = std::to_string(fps);
            ASSERT_EQ(Parse({"--fps", fpsText.c_str(), "--start", seconds.c_str(), "--duration", seconds.c_str()}, o), "")
                << seconds;
            EXPECT_EQ(FirstFrameFrom(o.start, fps), frames) << frames << " frames at " << fps << " fps: " << seconds;
            EXPECT_EQ(NearestFrame(o.duration, fps), frames) << frames << " frames at " << fps << " fps: " << seconds;
        }
    }
}

TEST(ProgressBar, LineShowsFramesRateAndTimeLeft) {
    EXPECT_EQ(cProgressBar::Line(50, 200, 5.0),
              "[#######.......................] 50/200 frames  10.0 frames/s  0:15 left");
    EXPECT_EQ(cProgressBar::Line(200, 200, 10.0),
              "[##############################] 200/200 frames  20.0 frames/s  0:00 left");
    EXPECT_EQ(cProgressBar::Line(0, 7200 * 60, 0.0).substr(32), " 0/432000 frames  0.0 frames/s  ? left");
    EXPECT_NE(cProgressBar::Line(60, 7200 * 60, 1.0).find("1:59:59 left"), std::string::npos);
}

TEST(ProgressBar, StaysQuietWhenNotOnATerminal) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    cProgressBar quiet(10, file);
    quiet.Update(5);
    quiet.Finish(10);
    EXPECT_EQ(std::ftell(file), 0);
    cProgressBar forced(10, file, true);
    forced.Finish(10);
    EXPECT_GT(std::ftell(file), 0);
    std::fclose(file);
}

TEST(WavFile, HeaderCarriesTheRateAndTheSizesOfWhatWasWritten) {
    const std::string path = testing::TempDir() + "capture_test.wav";
    cWavFile wav;
    ASSERT_TRUE(wav.Open(path, 48000, 2));
    const std::vector<int16_t> samples = {1, -1, 256, -256, 32767, -32768};
    ASSERT_TRUE(wav.Write(samples.data(), 3));
    ASSERT_TRUE(wav.Write(samples.data(), 1));
    ASSERT_TRUE(wav.Close());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_EQ(b.size(), 44u + 16u);
    auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
    auto u16 = [&](size_t at) { return b[at] | b[at + 1] << 8; };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 36u + 16u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1);      // PCM
    EXPECT_EQ(u16(22), 2);      // stereo
    EXPECT_EQ(u32(24), 48000u);
    EXPECT_EQ(u32(28), 48000u * 4);
    EXPECT_EQ(u16(32), 4);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(u32(40), 16u);
    EXPECT_EQ(u16(44 + 8), 32767);  // little-endian samples
    EXPECT_EQ(u16(44 + 10), 0x8000);
}

TEST(WavFile, AppearsUnderItsNameOnlyWhenClosedWhole) {
    const std::string dir = testing::TempDir() + "capture_wav_test";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/audio.wav";
    const std::vector<int16_t> samples(64, 1000);
    {
        cWavFile abandoned;
        ASSERT_TRUE(abandoned.Open(path, 48000, 2));
        ASSERT_TRUE(abandoned.Write(samples.data(), 32));
        EXPECT_FALSE(std::filesystem::exists(path)) << "a WAV without its sizes under the real name";
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << "an abandoned WAV left a file behind";
    cWavFile wav;
    ASSERT_TRUE(wav.Open(path, 48000, 2));
    ASSERT_TRUE(wav.Write(samples.data(), 32));
    ASSERT_TRUE(wav.Close());
    EXPECT_EQ(std::filesystem::file_size(path), 44u + 32 * 4);
    std::filesystem::remove_all(dir);
}

TEST(CaptureOptions, CrfIsAnH264QualityAndTheLogLiesBesideTheOutput) {
    cCaptureOptions o;
    EXPECT_EQ(Parse({}, o), "");
    EXPECT_EQ(o.crf, 18);
    EXPECT_EQ(CaptureLogPath(o), "vindelkrok.mp4.log");
    EXPECT_EQ(Parse({"--crf", "0", "--output", "out/a.mp4"}, o), "");
    EXPECT_EQ(o.crf, 0);
    EXPECT_EQ(CaptureLogPath(o), "out/a.mp4.log");
    for (const char* wrong : {"52", "-1", "x", ""}) {
        cCaptureOptions w;
        EXPECT_NE(Parse({"--crf", wrong}, w), "") << wrong;
    }
    cCaptureOptions png, stills, named;
    EXPECT_EQ(Parse({"--png", "frames"}, png), "");
    EXPECT_EQ(CaptureLogPath(png), "frames/log.txt");
    EXPECT_EQ(Parse({"--stills", "1,2"}, stills), "");
    EXPECT_EQ(CaptureLogPath(stills), "stills/log.txt");
    EXPECT_EQ(Parse({"--stills", "1", "--output", "s"}, named), "");
    EXPECT_EQ(CaptureLogPath(named), "s/log.txt");
}
