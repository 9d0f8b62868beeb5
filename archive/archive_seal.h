// The seal: the SHA-256 of the one update archive an updater was released
// with, kept in a resource of the updater's executable. The build reserves
// the resource unsealed; `dattool seal` fills it in place before the exe is
// signed, so the signature covers it. A sealed updater installs that archive
// and no other.
//
// The resource (RCDATA "KELVOSEAL") is kSealSize bytes:
//   0  16  "KelvoUpdaterSeal"
//   16 16  "unsealed........" as built, "sha256.........." once sealed
//   32 32  the archive's SHA-256 when sealed, full stops as built
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/streams.h"
#include "base/sha256.h"

inline constexpr size_t kSealSize = 64;
// kSealResourceName is the resource's name (its type is RCDATA).
inline constexpr char16_t kSealResourceName[] = u"KELVOSEAL";

struct TArchiveSeal {
    bool Sealed = false;
    TSha256Digest Digest{};
};

// ParseSeal reads the resource's bytes; false when they are not a seal
// resource of either state (wrong size, magic or state).
bool ParseSeal(const uint8_t* bytes, size_t size, TArchiveSeal& seal);
// SealedResource is the resource's content once sealed to digest.
TBytes SealedResource(const TSha256Digest& digest);

// Sha256OfStream reads the whole stream from its start through this stream
// alone and gives its SHA-256; the position ends at the stream's end.
TSha256Digest Sha256OfStream(TStream& stream);
