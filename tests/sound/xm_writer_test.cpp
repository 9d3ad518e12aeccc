// The XM writer: what it writes, read back by libxmp's own XM loader, and
// the modules it refuses.
#include "sound/xm_writer.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// A module using every part of the format the demo's music needs.
cXmModule FullModule() {
    cXmModule m;
    m.name = "writer test";
    m.channels = 6;
    m.speed = 5;
    m.bpm = 140;
    m.restart = 2;
    m.orders = {0, 1, 0, 2};
    m.patterns = {cXmPattern(16, 6), cXmPattern(64, 6), cXmPattern(1, 6)};
    m.patterns[0].At(0, 0) = {XmNote(4, 0), 1, XmSetVolume(40), 0x0e, 0xd2};
    m.patterns[0].At(3, 5) = {kXmKeyOff, 0, 0, 0, 0};
    m.patterns[1].At(63, 2) = {XmNote(7, 11), 2, 0xf4, 0x0f, 0x03};  // B-7, volume-column portamento, speed 3
    m.patterns[1].At(10, 4) = {0, 0, 0, 0x0b, 0x01};                 // only an effect

    cXmInstrument sine;
    sine.name = "sine 8-bit";
    cXmSample s8;
    s8.name = "eight";
    s8.data8 = {0, 40, 70, 127, 70, 40, 0, -40, -70, -128, -70, -40};
    s8.loop = cXmLoop::kForward;
    s8.loopStart = 2;
    s8.loopLength = 10;  // loops end at the sample's end: libxmp overwrites what follows a loop
    s8.volume = 48;
    s8.finetune = -16;
    s8.panning = 200;
    s8.relativeNote = -12;
    sine.samples.push_back(s8);
    cXmSample s16;
    s16.data16 = {0, 32767, -32768, 1000, -1000, 5};
    s16.loop = cXmLoop::kPingPong;
    s16.loopStart = 1;
    s16.loopLength = 5;
    sine.samples.push_back(s16);
    for (int n = 48; n < 96; ++n) sine.noteSample[n] = 1;
    sine.volumeEnvelope.points = {{0, 64}, {10, 32}, {40, 20}, {100, 0}};
    sine.volumeEnvelope.sustainPoint = 1;
    sine.volumeEnvelope.loopStart = 1;
    sine.volumeEnvelope.loopEnd = 2;
    sine.panningEnvelope.points = {{0, 0}, {20, 64}};
    sine.vibratoType = 1;
    sine.vibratoSweep = 2;
    sine.vibratoDepth = 3;
    sine.vibratoRate = 4;
    sine.fadeout = 800;
    m.instruments.push_back(sine);
    cXmInstrument silent;
    silent.name = "no samples";
    m.instruments.push_back(silent);
    return m;
}

// libxmp's reading of a module image; fails the test when it cannot read it.
struct cLoaded {
    explicit cLoaded(const std::vector<uint8_t>& bytes) {
        EXPECT_EQ(xmp_load_module_from_memory(context, bytes.data(), long(bytes.size())), 0);
        xmp_module_info info;
        xmp_get_module_info(context, &info);
        mod = info.mod;
    }
    ~cLoaded() {
        xmp_release_module(context);
        xmp_free_context(context);
    }
    const xmp_event& Event(int pattern, int row, int channel) const {
        return mod->xxt[mod->xxp[pattern]->index[channel]]->event[row];
    }
    xmp_context context = xmp_create_context();
    const xmp_module* mod = nullptr;
};

}  // namespace

TEST(XmWriter, SongHeaderOrdersAndPatternsReadBack) {
    const cXmModule m = FullModule();
    ASSERT_EQ(XmProblem(m), "");
    cLoaded x(EncodeXm(m));
    ASSERT_NE(x.mod, nullptr);
    EXPECT_STREQ(x.mod->name, "writer test");
    EXPECT_EQ(x.mod->chn, 6);
    EXPECT_EQ(x.mod->spd, 5);
    EXPECT_EQ(x.mod->bpm, 140);
    EXPECT_EQ(x.mod->len, 4);
    EXPECT_EQ(x.mod->rst, 2);
    EXPECT_EQ(std::vector<int>(x.mod->xxo, x.mod->xxo + 4), (std::vector<int>{0, 1, 0, 2}));
    ASSERT_GE(x.mod->pat, 3);  // libxmp may add an empty pattern of its own
    EXPECT_EQ(x.mod->xxp[0]->rows, 16);
    EXPECT_EQ(x.mod->xxp[1]->rows, 64);
    EXPECT_EQ(x.mod->xxp[2]->rows, 1);

    // libxmp numbers notes 12 above XM and the volume column 1 above the volume.
    const xmp_event& first = x.Event(0, 0, 0);
    EXPECT_EQ(first.note, XmNote(4, 0) + 12);
    EXPECT_EQ(first.ins, 1);
    EXPECT_EQ(first.vol, 41);
    EXPECT_EQ(first.fxt, 0x0e);
    EXPECT_EQ(first.fxp, 0xd2);
    EXPECT_EQ(x.Event(0, 3, 5).note, XMP_KEY_OFF);
    const xmp_event& last = x.Event(1, 63, 2);
    EXPECT_EQ(last.note, XmNote(7, 11) + 12);
    EXPECT_EQ(last.ins, 2);
    EXPECT_EQ(last.fxt, 0x0f);
    EXPECT_EQ(last.fxp, 0x03);
    EXPECT_EQ(last.f2t, 0x03);  // tone portamento from the volume column
    EXPECT_EQ(last.f2p, 0x40);
    EXPECT_EQ(x.Event(1, 10, 4).fxt, 0x0b);
    EXPECT_EQ(x.Event(1, 10, 4).note, 0);
    EXPECT_EQ(x.Event(1, 11, 4).fxt, 0);
}

TEST(XmWriter, InstrumentsSamplesAndEnvelopesReadBack) {
    const cXmModule m = FullModule();
    cLoaded x(EncodeXm(m));
    ASSERT_EQ(x.mod->ins, 2);
    ASSERT_EQ(x.mod->smp, 2);
    const xmp_instrument& ins = x.mod->xxi[0];
    EXPECT_STREQ(ins.name, "sine 8-bit");
    ASSERT_EQ(ins.nsm, 2);
    EXPECT_EQ(ins.map[30].ins, 0);
    EXPECT_EQ(ins.map[60].ins, 1);
    EXPECT_EQ(ins.aei.flg, XMP_ENVELOPE_ON | XMP_ENVELOPE_SUS | XMP_ENVELOPE_LOOP);
    EXPECT_EQ(ins.aei.npt, 4);
    EXPECT_EQ(ins.aei.sus, 1);
    EXPECT_EQ(ins.aei.lps, 1);
    EXPECT_EQ(ins.aei.lpe, 2);
    EXPECT_EQ(std::vector<short>(ins.aei.data, ins.aei.data + 8), (std::vector<short>{0, 64, 10, 32, 40, 20, 100, 0}));
    EXPECT_EQ(ins.pei.flg, XMP_ENVELOPE_ON);
    EXPECT_EQ(ins.pei.npt, 2);
    EXPECT_EQ(ins.pei.data[3], 64);
    EXPECT_EQ(ins.rls, 800 * 2);  // libxmp keeps the fade-out doubled

    const xmp_subinstrument& sub = ins.sub[0];
    EXPECT_EQ(sub.vol, 48);
    EXPECT_EQ(sub.pan, 200);
    EXPECT_EQ(sub.fin, -16);
    EXPECT_EQ(sub.xpo, -12);
    EXPECT_EQ(sub.vwf, 1);
    EXPECT_EQ(sub.vsw, 2);
    EXPECT_EQ(sub.vde, 3 * 4);  // libxmp keeps the depth in quarter steps
    EXPECT_EQ(sub.vra, 4);

    const xmp_sample& s8 = x.mod->xxs[ins.sub[0].sid];
    EXPECT_EQ(s8.len, 12);
    EXPECT_EQ(s8.lps, 2);
    EXPECT_EQ(s8.lpe, 12);
    EXPECT_EQ(s8.flg, XMP_SAMPLE_LOOP);
    const std::vector<int8_t>& want8 = m.instruments[0].samples[0].data8;
    EXPECT_EQ(std::vector<int8_t>(reinterpret_cast<int8_t*>(s8.data), reinterpret_cast<int8_t*>(s8.data) + 12), want8);

    const xmp_sample& s16 = x.mod->xxs[ins.sub[1].sid];
    EXPECT_EQ(s16.len, 6);
    EXPECT_EQ(s16.lps, 1);
    EXPECT_EQ(s16.lpe, 6);
    EXPECT_EQ(s16.flg, XMP_SAMPLE_16BIT | XMP_SAMPLE_LOOP | XMP_SAMPLE_LOOP_BIDIR);
    const int16_t* data16 = reinterpret_cast<int16_t*>(s16.data);
    EXPECT_EQ(std::vector<int16_t>(data16, data16 + 6), m.instruments[0].samples[1].data16);

    EXPECT_STREQ(x.mod->xxi[1].name, "no samples");
    EXPECT_EQ(x.mod->xxi[1].nsm, 0);
}

TEST(XmWriter, WritesTheFileItEncodes) {
    const cXmModule m = FullModule();
    const std::string dir = MakeScratchDirectory();
    const std::string path = dir + "/full.xm";
    ASSERT_TRUE(WriteXmFile(m, path));
    xmp_test_info info;
    EXPECT_EQ(xmp_test_module(path.c_str(), &info), 0);
    EXPECT_STREQ(info.name, "writer test");
    FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<uint8_t> read(EncodeXm(m).size() + 1);
    const size_t n = std::fread(read.data(), 1, read.size(), f);
    std::fclose(f);
    read.resize(n);
    EXPECT_EQ(read, EncodeXm(m));
    EXPECT_FALSE(WriteXmFile(m, dir + "/no-such-dir/full.xm"));
    RemoveDirectory(dir);
}

TEST(XmWriter, RefusesWhatTheFormatCannotHold) {
    const struct {
        const char* what;
        void (*spoil)(cXmModule&);
    } cases[] = {
        {"33 channels", [](cXmModule& m) { m.channels = 33; }},
        {"speed 0", [](cXmModule& m) { m.speed = 0; }},
        {"BPM 31", [](cXmModule& m) { m.bpm = 31; }},
        {"no orders", [](cXmModule& m) { m.orders.clear(); }},
        {"restart past the end", [](cXmModule& m) { m.restart = 4; }},
        {"order of a missing pattern", [](cXmModule& m) { m.orders[1] = 3; }},
        {"pattern with other channels", [](cXmModule& m) { m.patterns[2] = cXmPattern(4, 5); }},
        {"pattern of 257 rows", [](cXmModule& m) { m.patterns[2] = cXmPattern(257, 6); }},
        {"note above key-off", [](cXmModule& m) { m.patterns[0].At(1, 1).note = 98; }},
        {"missing instrument", [](cXmModule& m) { m.patterns[0].At(1, 1).instrument = 3; }},
        {"13 envelope points", [](cXmModule& m) { m.instruments[0].volumeEnvelope.points.resize(13); }},
        {"envelope going back", [](cXmModule& m) { m.instruments[0].panningEnvelope.points[1].tick = 0; }},
        {"envelope value 65", [](cXmModule& m) { m.instruments[0].volumeEnvelope.points[0].value = 65; }},
        {"loop past the sample", [](cXmModule& m) { m.instruments[0].samples[0].loopLength = 11; }},
        {"empty loop", [](cXmModule& m) { m.instruments[0].samples[1].loopLength = 0; }},
        {"note mapped to a missing sample", [](cXmModule& m) { m.instruments[0].noteSample[0] = 2; }},
        {"8- and 16-bit data", [](cXmModule& m) { m.instruments[0].samples[0].data16 = {1}; }},
    };
    for (const auto& c : cases) {
        cXmModule m = FullModule();
        c.spoil(m);
        EXPECT_NE(XmProblem(m), "") << c.what;
        EXPECT_TRUE(EncodeXm(m).empty()) << c.what;
    }
}
