// Chunk reader: the registry's order, dispatch, skipping of unknown chunks,
// header cut-offs, missing files, and the limits that keep crafted files
// from running the reader off the stack or backwards.
#include <gtest/gtest.h>

#include "model3ds/chunk_handlers.h"
#include "model3ds/chunk_reader.h"
#include "tests/support/model_files.h"

#include <fstream>
#include <iostream>

using modeltest::Lines;
using modeltest::ReadBytes;

namespace {

// An object block chunk with the given name and nothing inside.
void ObjectBlock(cChunkWriter& w, const char* name) {
    w.Open(kChunkObjectBlock);
    w.Name(name);
    w.Close();
}

}  // namespace

TEST(ChunkRegistry, HoldsTheHeadAndThirteenHandlersInTableOrder) {
    const std::vector<int> expected = {0,      0x4D4D, 0x0002, 0x3D3D, 0x3D3E, 0x4000, 0x4100,
                                       0x4110, 0x4120, 0xAFFF, 0xA000, 0x4140, 0xA300, 0xA200};
    std::vector<int> ids;
    for (cChunkHandler* h = &ChunkHandlerRegistry(); h; h = h->nextHandler) ids.push_back(h->chunkId);
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(LastChunkHandler(&ChunkHandlerRegistry())->chunkId, 0xA200);

    cChunkHandler* head = &ChunkHandlerRegistry();
    EXPECT_EQ(FindChunkHandler(head, 0), head);
    EXPECT_NE(dynamic_cast<cVertexListChunkHandler*>(FindChunkHandler(head, 0x4110)), nullptr);
    EXPECT_NE(dynamic_cast<cMaterialTexture1ChunkHandler*>(FindChunkHandler(head, 0xA200)), nullptr);
    EXPECT_EQ(FindChunkHandler(head, 0xA010), nullptr);
}

TEST(ChunkRegistry, RegisteringLogsTheIdInHexAndAppendsAtTheTail) {
    cChunkHandler head, first, second;
    first.chunkId = 0x4D4D;
    second.chunkId = 0x2;
    testing::internal::CaptureStdout();
    RegisterChunkHandler(head, first);
    RegisterChunkHandler(head, second);
    std::cout << 255 << std::endl;  // the stream is back in decimal
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Registering hander for chunk id: 0x4d4d\nRegistering hander for chunk id: 0x2\n255\n");
    EXPECT_EQ(head.nextHandler, &first);
    EXPECT_EQ(first.nextHandler, &second);
    EXPECT_EQ(LastChunkHandler(&head), &second);
    EXPECT_EQ(FindChunkHandler(&head, 0x2), &second);
}

// Reads a file of one chunk with the given id around an object block named
// name; bytes is the file's size.
auto ReadObjectInside(uint16_t id, const char* name, cLevel& level, size_t& bytes) {
    cChunkWriter w;
    w.Open(id);
    ObjectBlock(w, name);
    w.Close();
    bytes = w.Bytes().size();
    return ReadBytes(w.Bytes(), level);
}

// Reads a main chunk's header claiming the given length, followed by an
// object block named name.
auto ReadObjectAfterHeader(int32_t length, const char* name, cLevel& level) {
    cChunkWriter w;
    w.Header(kChunkMain, length);
    ObjectBlock(w, name);
    return ReadBytes(w.Bytes(), level);
}

TEST(ChunkReader, UnknownTopLevelChunkIsSkippedWholeWithoutVisitingItsInside) {
    cLevel level;
    size_t bytes = 0;
    const auto load = ReadObjectInside(0x1234, "hidden", level, bytes);
    EXPECT_EQ(load.result, int(bytes));
    EXPECT_EQ(load.log, "");
    EXPECT_FALSE(level.hasObject());
}

TEST(ChunkReader, UnknownSubChunkIsSkippedSilentlyAndCounted) {
    cChunkWriter w;
    w.Open(kChunkMain);
    w.Open(kChunkMaterialDiffuse);  // no handler: a colour chunk
    w.Open(kChunkColor24);
    w.U8(1), w.U8(2), w.U8(3);
    w.Close();
    w.Close();
    ObjectBlock(w, "after");
    w.Close();
    cLevel level;
    const auto load = ReadBytes(w.Bytes(), level);
    EXPECT_EQ(load.result, int(w.Bytes().size()));
    EXPECT_EQ(Lines(load.log).front(), "MainChunk");
    EXPECT_EQ(Lines(load.log)[1], "  ObjectBlockChunk");
    ASSERT_TRUE(level.hasObject());
    EXPECT_STREQ(level.objects.name, "after");
}

TEST(ChunkReader, ChunkIdZeroIsADummyWhoseBodyIsReadAsSubChunks) {
    cLevel level;
    size_t bytes = 0;
    const auto load = ReadObjectInside(0x0000, "inside", level, bytes);
    EXPECT_EQ(load.result, int(bytes));
    EXPECT_EQ(Lines(load.log).front(), "DummyChunk");
    EXPECT_STREQ(level.objects.name, "inside");
}

TEST(ChunkReader, ContainerOfLengthSixReadsNoSubChunks) {
    cLevel level;
    const auto load = ReadObjectAfterHeader(6, "outside", level);
    EXPECT_EQ(load.result, 6);
    EXPECT_EQ(load.log, "MainChunk\n");
    EXPECT_FALSE(level.hasObject());
}

TEST(ChunkReader, FileCutInsideAHeaderSaysEOFAndKeepsWhatWasRead) {
    cChunkWriter w;
    w.Open(kChunkMain);
    ObjectBlock(w, "kept");
    ObjectBlock(w, "lost");
    w.Close();
    std::vector<uint8_t> bytes = w.Bytes();
    // Cut three bytes into the second object block's header.
    bytes.resize(6 + (6 + 5) + 3);
    cLevel level;
    const auto load = ReadBytes(bytes, level);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(Lines(load.log).back(), "EOF");
    EXPECT_STREQ(level.objects.name, "kept");
    EXPECT_EQ(level.objects.next, nullptr);

    // Through a file, the load still counts as done.
    const std::string path = modeltest::TempPath("cut.3ds");
    ASSERT_TRUE(SaveBytes(path, bytes));
    cLevel fromFile;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Load3DSFile(path.c_str(), fromFile), 0);
    const auto lines = Lines(testing::internal::GetCapturedStdout());
    EXPECT_EQ(lines.front(), path + " exists, Starting to load");
    EXPECT_EQ(lines.back(), "EOF");
    EXPECT_STREQ(fromFile.objects.name, "kept");
    std::remove(path.c_str());
}

TEST(ChunkReader, FileEndingRightAfterItsChunkLoadsWithoutEOF) {
    cChunkWriter w;
    w.Open(kChunkMain);
    ObjectBlock(w, "a");
    w.Close();
    cLevel level;
    const auto load = ReadBytes(w.Bytes(), level);
    EXPECT_EQ(load.result, int(w.Bytes().size()));
    EXPECT_EQ(load.log.find("EOF"), std::string::npos);
}

TEST(ChunkReader, MissingFileIsReportedAndLeavesTheLevelAlone) {
    cLevel level;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Load3DSFile("no/such/model.3DS", level), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "no/such/model.3DS does not exist\n");
    EXPECT_FALSE(level.hasObject());
}

// Crafted files: nesting, short skips, containers that claim too much.

TEST(ChunkReader, NestingDeeperThanTheLimitFailsWithOneLine) {
    // Headers only, each claiming a huge body: without a limit every one
    // of them would recurse once.
    cChunkWriter w;
    for (int i = 0; i < 100000; ++i) w.Header(kChunkMain, 0x7FFFFFFF);
    cLevel level;
    const auto load = ReadBytes(w.Bytes(), level);
    EXPECT_EQ(load.result, -1);
    const auto lines = Lines(load.log);
    ASSERT_EQ(lines.size(), size_t(kMaxChunkDepth) + 1);
    EXPECT_EQ(lines[kMaxChunkDepth - 1], "MainChunk");
    EXPECT_EQ(lines.back(), "Chunks nested deeper than 64 levels");
}

TEST(ChunkReader, NestingUpToTheLimitIsRead) {
    cChunkWriter w;
    for (int i = 0; i < kMaxChunkDepth - 1; ++i) w.Open(kChunkMain);
    ObjectBlock(w, "deep");  // the 64th level
    for (int i = 0; i < kMaxChunkDepth - 1; ++i) w.Close();
    cLevel level;
    const auto load = ReadBytes(w.Bytes(), level);
    EXPECT_EQ(load.result, int(w.Bytes().size()));
    EXPECT_STREQ(level.objects.name, "deep");
}

TEST(ChunkReader, SkippedChunkShorterThanItsHeaderFails) {
    for (int32_t length : {0, 5, -6, int32_t(0x80000000)}) {
        cChunkWriter w;
        w.Open(kChunkMain);
        w.Header(0x1234, length);
        w.U32(0);
        ObjectBlock(w, "after");
        w.Close();
        cLevel level;
        const auto load = ReadBytes(w.Bytes(), level);
        EXPECT_EQ(load.result, -1) << "length " << length;
        EXPECT_FALSE(level.hasObject()) << "length " << length;
    }
}

TEST(ChunkReader, ContainerClaimingMoreThanTheFileEndsAtEndOfFile) {
    cLevel level;
    const auto load = ReadObjectAfterHeader(100000, "only", level);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(Lines(load.log).back(), "EOF");
    EXPECT_STREQ(level.objects.name, "only");

    // An unknown chunk claiming more than is there fails the same way.
    cChunkWriter skip;
    skip.Header(0x1234, 100000);
    skip.U32(0);
    cLevel other;
    EXPECT_EQ(ReadBytes(skip.Bytes(), other).result, -1);
}
