// The generated pictures load through the demo's reader without a word, at
// the sizes the textures need, and keep the properties their effects rely on.
#include "image/bmp_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct cLoaded {
    std::unique_ptr<cRaster> raster;
    std::string log;
};

cLoaded Load(const char* name) {
    cLoaded l;
    const std::string path = std::string(VK_DATA_DIR) + "/" + name;
    ::testing::internal::CaptureStdout();
    l.raster.reset(loadBmp(path.c_str()));
    l.log = ::testing::internal::GetCapturedStdout();
    return l;
}

// Pixel (x, y) of a raster, y counted from the bottom row.
const uint8_t* At(const cRaster& r, int x, int y) { return r.data + (size_t(y) * r.sizeX + x) * 3; }

int Luma(const uint8_t* p) { return (p[0] * 3 + p[1] * 6 + p[2]) / 10; }

}  // namespace

TEST(DataPictures, EveryPictureLoadsSilentlyAtAPowerOfTwoSize) {
    const struct {
        const char* name;
        int width, height;
    } files[] = {{"vindelbild.bmp", 512, 256}, {"mekk1.bmp", 1024, 512}, {"mekkmap1.bmp", 1024, 512},
                 {"mekk2.bmp", 1024, 512},     {"mekkmap2.bmp", 1024, 512}, {"rongert.bmp", 256, 256}};
    for (const auto& f : files) {
        const cLoaded l = Load(f.name);
        EXPECT_EQ(l.log, "") << f.name;
        ASSERT_TRUE(l.raster) << f.name;
        EXPECT_EQ(l.raster->sizeX, f.width) << f.name;
        EXPECT_EQ(l.raster->sizeY, f.height) << f.name;
    }
}

// The intro lights the card over-bright: anything not black saturates. The
// ground must therefore be exactly black, and the lettering must carry its
// light in blue, the one channel the blue strobe keeps.
TEST(DataPictures, TitleCardIsBlueLetteringOnPureBlack) {
    const cLoaded l = Load("vindelbild.bmp");
    ASSERT_TRUE(l.raster);
    const cRaster& r = *l.raster;
    int lit = 0;
    for (int y = 0; y < r.sizeY; ++y)
        for (int x = 0; x < r.sizeX; ++x) {
            const uint8_t* p = At(r, x, y);
            const bool margin = x < 16 || x >= r.sizeX - 16 || y < 6 || y >= r.sizeY - 6;
            if (margin) {
                ASSERT_EQ(p[0] | p[1] | p[2], 0) << "margin pixel " << x << "," << y << " is not black";
            }
            if (p[0] | p[1] | p[2]) {
                ++lit;
                ASSERT_GE(p[2], p[0]) << x << "," << y;
                ASSERT_GE(p[2], p[1]) << x << "," << y;
            }
        }
    const double share = double(lit) / (r.sizeX * r.sizeY);
    EXPECT_GT(share, 0.05);  // there is lettering
    EXPECT_LT(share, 0.35);  // and it does not flood the card
}

// Mask and picture are made together: the picture stands alone (and is not
// dark) where the mask is black, and stays dark where the mask lets the
// scene through, so the scene is not washed out.
TEST(DataPictures, OverlayPicturesAndMasksAgree) {
    for (const char* pair : {"1", "2"}) {
        const cLoaded picture = Load((std::string("mekk") + pair + ".bmp").c_str());
        const cLoaded mask = Load((std::string("mekkmap") + pair + ".bmp").c_str());
        ASSERT_TRUE(picture.raster && mask.raster) << pair;
        const cRaster& p = *picture.raster;
        const cRaster& m = *mask.raster;
        EXPECT_GE(At(m, m.sizeX / 2, m.sizeY / 2)[0], 250) << "centre shows the scene, pair " << pair;
        EXPECT_LE(At(m, 0, 0)[0], 5) << "corner is machinery, pair " << pair;
        EXPECT_LE(At(m, m.sizeX - 1, m.sizeY - 1)[0], 5) << pair;
        long solidLuma = 0, solid = 0, openLuma = 0, open = 0;
        for (int y = 0; y < m.sizeY; ++y)
            for (int x = 0; x < m.sizeX; ++x) {
                const uint8_t* mp = At(m, x, y);
                ASSERT_TRUE(mp[0] == mp[1] && mp[1] == mp[2]) << "mask is grey at " << x << "," << y;
                if (mp[0] <= 5) {
                    solidLuma += Luma(At(p, x, y));
                    ++solid;
                }
                if (mp[0] >= 250) {
                    openLuma += Luma(At(p, x, y));
                    ++open;
                }
            }
        ASSERT_GT(solid, 0);
        ASSERT_GT(open, m.sizeX * m.sizeY / 10) << "pair " << pair << " shows too little of the scene";
        EXPECT_GT(solidLuma / solid, 50) << "pair " << pair;
        EXPECT_LT(openLuma / open, 20) << "pair " << pair;
    }
}
