// SHA-256 from a kept implementation, never our own: the system's CNG
// (bcrypt.dll, loaded from the system folder at run time) in the Windows
// programs, Debian's libcrypto natively. It vouches for the update archive a
// sealed updater installs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/text.h"

using TSha256Digest = std::array<uint8_t, 32>;

class TSha256 {
public:
    // TSha256 starts a digest; a system without SHA-256 raises EOSError.
    TSha256();
    ~TSha256();
    TSha256(const TSha256&) = delete;
    TSha256& operator=(const TSha256&) = delete;

    void Update(const void* data, size_t count);
    // Finish gives the digest of everything passed to Update; call it once.
    TSha256Digest Finish();

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

// Sha256Hex is the digest as 64 lower-case hexadecimal digits.
UString Sha256Hex(const TSha256Digest& digest);
