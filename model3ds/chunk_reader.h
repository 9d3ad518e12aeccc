// Reading a 3D Studio (3DS) file as a tree of chunks.
//
// Every chunk starts with a 6-byte little-endian header: a 16-bit id and a
// signed 32-bit length that counts the header, the chunk's own payload and
// its sub-chunks. The reader looks the id up in a process-wide registry of
// handlers, lets the handler read the payload into the level, and reads the
// rest of the chunk as sub-chunks. Chunks nobody handles are skipped whole.
// All meaning lives in the handlers (chunk_handlers.h).
#pragma once

#include <iosfwd>

struct cLevel;

// Base of all chunk handlers; a plain cChunkHandler (id 0) heads the registry.
class cChunkHandler {
public:
    int chunkId = 0;
    cChunkHandler* nextHandler = nullptr;  // next in the registry, not owned

    // The registry head: id 0, not registered anywhere.
    cChunkHandler() = default;
    // A handler for one chunk id, appended to the registry at construction.
    explicit cChunkHandler(int id);
    cChunkHandler(const cChunkHandler&) = delete;
    cChunkHandler& operator=(const cChunkHandler&) = delete;

    // Reads the chunk's own payload into the level; the number of payload
    // bytes consumed (0 for a pure container), or -1 on failure.
    virtual int HandleChunk(std::istream& stream, cLevel& level);
};

// Deepest chunk nesting accepted; real files nest fewer than ten levels.
constexpr int kMaxChunkDepth = 64;

// The head of the handler registry (holds the 13 handlers once statics are made).
cChunkHandler& ChunkHandlerRegistry();
// Logs the handler's id and appends it at the registry's tail.
void RegisterChunkHandler(cChunkHandler& head, cChunkHandler& handler);
// The handler at the end of the chain that starts at handler.
cChunkHandler* LastChunkHandler(cChunkHandler* handler);
// The first handler from handler on that serves id; null when none does.
cChunkHandler* FindChunkHandler(cChunkHandler* handler, int id);

// Reads one chunk with everything inside it; the bytes it counts as
// consumed (header included), or -1.
int ReadChunk(std::istream& stream, cLevel& level);
// Reads a whole 3DS file into the level: 0 when the file could be opened
// (whatever was read of it), -1 when it could not.
int Load3DSFile(const char* fileName, cLevel& level);
