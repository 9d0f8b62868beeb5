#include "archive/archive_seal.h"

#include <algorithm>
#include <cstring>

#include "archive/zip_file.h"

namespace {

constexpr char kMagic[] = "KelvoUpdaterSeal";
constexpr char kUnsealedState[] = "unsealed........";
constexpr char kSealedState[] = "sha256..........";
constexpr size_t kFieldSize = 16;

bool FieldIs(const uint8_t* field, const char* text) { return std::memcmp(field, text, kFieldSize) == 0; }

}  // namespace

bool ParseSeal(const uint8_t* bytes, size_t size, TArchiveSeal& seal) {
    if (size != kSealSize || !FieldIs(bytes, kMagic)) return false;
    const uint8_t* state = bytes + kFieldSize;
    const uint8_t* digest = bytes + 2 * kFieldSize;
    if (FieldIs(state, kUnsealedState)) {
        seal = TArchiveSeal{};
        return std::all_of(digest, digest + seal.Digest.size(), [](uint8_t b) { return b == '.'; });
    }
    if (!FieldIs(state, kSealedState)) return false;
    seal.Sealed = true;
    std::memcpy(seal.Digest.data(), digest, seal.Digest.size());
    return true;
}

TBytes SealedResource(const TSha256Digest& digest) {
    TBytes bytes(kSealSize);
    std::memcpy(bytes.data(), kMagic, kFieldSize);
    std::memcpy(bytes.data() + kFieldSize, kSealedState, kFieldSize);
    std::memcpy(bytes.data() + 2 * kFieldSize, digest.data(), digest.size());
    return bytes;
}

TSha256Digest Sha256OfStream(TStream& stream) {
    TSha256 sha;
    TBytes buffer(kCopyBufferSize);
    stream.SetPosition(0);
    for (;;) {
        const int64_t got = stream.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (got <= 0) break;
        sha.Update(buffer.data(), static_cast<size_t>(got));
    }
    return sha.Finish();
}
