// Deterministic file contents for the benchmark archives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

// TRandom is splitmix64: small, fast and the same on every machine, so a seed
// always gives the same archive byte for byte.
class TRandom {
public:
    explicit TRandom(uint64_t seed) : FState(seed) {}
    uint64_t Next();
    // Below returns a value in [0, limit); limit must be nonzero.
    uint64_t Below(uint64_t limit) { return Next() % limit; }
    // Between returns a value in [low, high].
    uint64_t Between(uint64_t low, uint64_t high) { return low + Below(high - low + 1); }
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
private:
    uint64_t FState;
};

// The kinds of segment a file is made of.
enum TSegmentKind : uint8_t { skText, skRecords, skNoise, skZeros };

// TMix gives the share of each segment kind, in percent; they add up to 100.
struct TMix {
    unsigned Text, Records, Noise, Zeros;
};

// Mixed content like an application's files: text, structured binary records,
// incompressible noise (embedded pictures, packed resources) and zero runs.
// It compresses, but not trivially.
constexpr TMix kMixed{45, 30, 10, 15};
constexpr TMix kTextual{85, 10, 0, 5};
constexpr TMix kPacked{5, 5, 90, 0};

// TContent produces an endless deterministic byte sequence of segments.
class TContent {
public:
    TContent(uint64_t seed, TMix mix);
    // Fill writes exactly size bytes into out.
    void Fill(uint8_t* out, size_t size);
private:
    void StartSegment();
    size_t Produce(uint8_t* out, size_t size);
    size_t ProduceText(uint8_t* out, size_t size);
    size_t ProduceRecords(uint8_t* out, size_t size);

    TRandom FRandom;
    TMix FMix;
    TSegmentKind FKind = skText;
    size_t FLeft = 0;           // bytes left in the current segment
    uint32_t FCounter = 0;      // record number, grows through the records segments
    std::vector<uint8_t> FLine; // text produced but not yet handed out
    size_t FLineUsed = 0;
};

}  // namespace bench
