// The 3DS writer: chunk lengths cover header, payload and sub-chunks, and a
// model the format cannot hold is refused rather than written wrong.
#include <gtest/gtest.h>

#include "model3ds/model3ds_writer.h"

TEST(ChunkWriter, ClosePatchesNestedLengthsLittleEndian) {
    cChunkWriter w;
    w.Open(0x4D4D);
    w.Open(0x0002);
    w.U32(0x01020304);
    w.Close();
    w.Name("ab");
    w.Close();
    const std::vector<uint8_t> expected = {0x4D, 0x4D, 19, 0, 0, 0,        // main: 6 + 10 + 3
                                           0x02, 0x00, 10, 0, 0, 0,        // version: 6 + 4
                                           0x04, 0x03, 0x02, 0x01, 'a', 'b', 0};
    EXPECT_EQ(w.Bytes(), expected);
    EXPECT_EQ(w.OpenChunks(), 0u);
}

TEST(ModelWriter, RefusesListsLongerThanSixteenBitCounts) {
    cModel3ds model;
    model.meshes.resize(1);
    model.meshes[0].vertices.resize(65536);
    std::vector<uint8_t> out;
    EXPECT_FALSE(Write3ds(model, out));
    model.meshes[0].vertices.resize(65535);
    EXPECT_TRUE(Write3ds(model, out));
    EXPECT_GT(out.size(), 65535u * 12);
}
