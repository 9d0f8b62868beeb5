// Where the seal lies in an updater's executable: a small PE reader that
// follows the resource directory to the RCDATA resource "KELVOSEAL", and reads
// the version resource's file version and whether the file carries a
// signature (an Authenticode security directory). Portable: dattool seals
// Windows programs from Linux as well. Every offset is checked against the
// file's size; bytes that do not lead to a seal resource are refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/streams.h"
#include "base/text.h"

struct TUpdaterImage {
    size_t SealOffset = 0;  // file offset of the seal resource's bytes
    bool Signed = false;    // a security directory is present
    UString Version;        // "1.0.0.0" from the version resource, empty without one
};

// ReadUpdaterImage finds the seal in exe's bytes; false when they are not a
// PE file with a seal resource of the right size.
bool ReadUpdaterImage(const TBytes& exe, TUpdaterImage& image);
