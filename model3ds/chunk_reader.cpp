// Chunk reader: header, dispatch by id, skipping, sub-chunks, and the
// handler registry's chain operations.
#include "model3ds/chunk_reader.h"

#include "model3ds/chunk_io.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <limits>

// ---- Registry --------------------------------------------------------------

// Sets the id and appends the handler to the registry.
cChunkHandler::cChunkHandler(int id) : chunkId(id), nextHandler(nullptr) {
    RegisterChunkHandler(ChunkHandlerRegistry(), *this);
}

// The base operation, for chunk id 0: nothing consumed.
int cChunkHandler::HandleChunk(std::istream&, cLevel&) {
    std::cout << "DummyChunk" << std::endl;
    return 0;
}

// Logs the id in hex and links the handler at the tail.
void RegisterChunkHandler(cChunkHandler& head, cChunkHandler& handler) {
    std::cout << "Registering hander for chunk id: 0x" << std::hex << handler.chunkId << std::dec << std::endl;
    LastChunkHandler(&head)->nextHandler = &handler;
}

// Follows the chain to its end.
cChunkHandler* LastChunkHandler(cChunkHandler* handler) {
    while (handler->nextHandler) handler = handler->nextHandler;
    return handler;
}

// First handler of the chain serving id.
cChunkHandler* FindChunkHandler(cChunkHandler* handler, int id) {
    for (; handler; handler = handler->nextHandler)
        if (handler->chunkId == id) return handler;
    return nullptr;
}

// ---- Reading ---------------------------------------------------------------

namespace {

// Skips n bytes; false when the stream ends first.
bool Skip(std::istream& stream, int64_t n) {
    // ignore() stops at the end of the file without failing: only the
    // end-of-file flag tells a short skip.
    stream.ignore(std::streamsize(n));
    return stream.good();
}

// ReadChunk at a given nesting depth (1 for the file's top-level chunk).
int ReadChunkAt(std::istream& stream, cLevel& level, int depth) {
    if (depth > kMaxChunkDepth) {
        // A crafted file of nested headers would otherwise recurse until
        // the stack runs out.
        std::cout << "Chunks nested deeper than " << kMaxChunkDepth << " levels" << std::endl;
        return -1;
    }
    uint16_t id = 0;
    int32_t length = 0;
    const bool read = ReadU16(stream, id) && ReadS32(stream, length);
    if (!read) {
        std::cout << (stream.eof() ? "EOF" : "Failed to read from file") << std::endl;
        return -1;
    }

    cChunkHandler* handler = FindChunkHandler(&ChunkHandlerRegistry(), id);
    if (!handler) {
        // A length below the header's own 6 bytes cannot be skipped.
        if (length < 6) return -1;
        return Skip(stream, int64_t(length) - 6) ? length : -1;
    }

    const int payload = handler->HandleChunk(stream, level);
    if (payload == -1) return -1;

    // Sub-chunks start wherever the handler left the stream; the loop ends on
    // the count, so sub-chunks that overrun the parent report the excess up.
    int64_t consumed = 6 + int64_t(payload);
    while (consumed < length) {
        const int sub = ReadChunkAt(stream, level, depth + 1);
        if (sub == -1) return -1;
        consumed += sub;
    }
    // Only a file larger than 2 GB could count further than an int holds.
    return consumed > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(consumed);
}

}  // namespace

// Reads the chunk at the stream's position, depth 1.
int ReadChunk(std::istream& stream, cLevel& level) { return ReadChunkAt(stream, level, 1); }

// Opens the file and reads its top-level chunk.
int Load3DSFile(const char* fileName, cLevel& level) {
    std::ifstream file(fileName, std::ios::in | std::ios::binary);
    if (!file.is_open()) {
        std::cout << fileName << " does not exist" << std::endl;
        return -1;
    }
    std::cout << fileName << " exists, Starting to load" << std::endl;
    // The file's single top-level chunk holds everything.
    ReadChunk(file, level);
    return 0;
}
