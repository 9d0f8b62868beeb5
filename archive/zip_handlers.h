// The handler registry maps ZIP compression methods to stream factories, and
// the two decompressing streams it starts with: stored (0) and deflated (8).
#pragma once

#include <zlib.h>

#include <functional>
#include <memory>

#include "archive/zip_format.h"

class TZipFile;

// TStreamConstructor makes a new stream over the archive stream for one entry; the caller owns it.
using TStreamConstructor =
    std::function<std::unique_ptr<TStream>(TStream& archive, TZipFile& zip, const TZipHeader& header)>;

// RegisterCompressionHandler adds the factories of a method, or replaces them.
void RegisterCompressionHandler(TZipCompression method, TStreamConstructor compress, TStreamConstructor decompress);
// RegisterDefaultCompressionHandlers registers stored (0) and deflated (8);
// the program entry and every tool call it once at start-up.
void RegisterDefaultCompressionHandlers();
// FindDecompressor gives the decompressing factory of a method, or nullptr.
const TStreamConstructor* FindDecompressor(TZipCompression method);

// TStoredStream passes every call straight to the wrapped stream at its
// current position; it has no limit at the entry's end.
class TStoredStream : public TStream {
public:
    explicit TStoredStream(TStream& stream) : FStream(stream), FPos(stream.Position()) {}
    int64_t Read(void* buffer, int64_t count) override { return FStream.Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override { return FStream.Write(buffer, count); }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return FStream.Seek(offset, origin); }
    int64_t Size() override { return FStream.Size(); }

private:
    TStream& FStream;  // we don't own it
    int64_t FPos;      // the wrapped stream's position at creation
};

// TZDecompressionStream inflates raw deflate data (no zlib header, no
// checksum) read from the wrapped stream through a 65,536-byte input buffer.
// Bytes it read beyond the end of the deflate data are given back.
class TZDecompressionStream : public TStream {
public:
    explicit TZDecompressionStream(TStream& stream);
    ~TZDecompressionStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void*, int64_t) override { return 0; }  // reading only
    // Seek reports how many bytes were produced; the stream cannot move.
    int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(FZStream.total_out); }
    // Size is -1: the inflated size is not the stream's to know (the central record holds it).
    int64_t Size() override { return -1; }

    // Ended: inflate has reported the end of the deflate data.
    bool Ended() const { return FEnded; }
    // Consumed: compressed bytes that went into inflate.
    int64_t Consumed() const { return static_cast<int64_t>(FZStream.total_in); }

private:
    TStream& FStream;  // we don't own it
    int64_t FStreamStartPos;
    int64_t FStreamPos;
    z_stream FZStream{};
    TBytes FBuffer;
    bool FEnded = false;
};
