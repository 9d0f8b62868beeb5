// TStream is a seekable byte stream with a 64-bit size and position. Read and
// Write report how many bytes moved; ReadBuffer and WriteBuffer insist on all
// of them. TBytesStream keeps its bytes in memory (tests, fuzzing).
#pragma once

#include <cstdint>
#include <vector>

using TBytes = std::vector<uint8_t>;

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Read moves up to count bytes into buffer and returns how many arrived (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Write moves up to count bytes from buffer and returns how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Seek sets the position and returns the new one.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    // Size is the stream's length in bytes; every stream knows its own.
    virtual int64_t Size() = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }

    // ReadBuffer reads exactly count bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* buffer, int64_t count);
    // WriteBuffer writes exactly count bytes or raises EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, int64_t count);

protected:
    // PositionAfterSeek is where Seek lands for a stream that keeps its own
    // position: from the start, from current or from the end, never before the start.
    int64_t PositionAfterSeek(int64_t current, int64_t offset, TSeekOrigin origin);
};

// TBytesStream is a stream over a growable byte array.
class TBytesStream : public TStream {
public:
    TBytesStream() = default;
    explicit TBytesStream(TBytes bytes) : FBytes(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FBytes.size()); }

    const TBytes& Bytes() const { return FBytes; }

private:
    TBytes FBytes;
    int64_t FPosition = 0;
};
