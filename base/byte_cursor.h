// Little-endian fields: TByteCursor reads them from a record's fixed part in
// layout order, PutU16 and PutU32 append them. Every file format this system
// parses (archive records, icon files) goes through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TByteCursor {
public:
    explicit TByteCursor(const uint8_t* bytes) : FBytes(bytes) {}
    uint16_t U16() {
        const uint16_t v = static_cast<uint16_t>(FBytes[FAt] | FBytes[FAt + 1] << 8);
        FAt += 2;
        return v;
    }
    uint32_t U32() {
        const uint32_t v = static_cast<uint32_t>(FBytes[FAt]) | static_cast<uint32_t>(FBytes[FAt + 1]) << 8 |
                           static_cast<uint32_t>(FBytes[FAt + 2]) << 16 | static_cast<uint32_t>(FBytes[FAt + 3]) << 24;
        FAt += 4;
        return v;
    }
    uint8_t U8() { return FBytes[FAt++]; }
    void Skip(size_t count) { FAt += count; }
    size_t Offset() const { return FAt; }

private:
    const uint8_t* FBytes;  // we don't own it
    size_t FAt = 0;
};

inline void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, static_cast<uint16_t>(v));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}
