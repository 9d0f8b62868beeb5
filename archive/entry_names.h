// Entry names are bytes in the archive and text everywhere else. They are
// UTF-8 only when every central record of the archive says so; otherwise
// every name, even a flagged one, is read with code page 437.
#pragma once

#include <optional>

#include "archive/streams.h"
#include "toolkit/text.h"

// DecodeEntryName turns name bytes into text: strict UTF-8 (an invalid
// sequence raises EEncodingError) or code page 437 (every byte maps).
UString DecodeEntryName(const TBytes& name, bool utf8);

// DecodeUtf8Strict decodes UTF-8, or gives nothing for an invalid, overlong,
// surrogate or cut-short sequence.
std::optional<UString> DecodeUtf8Strict(const TBytes& bytes);
// DecodeCp437 maps each byte through code page 437 (0x00-0x7F as themselves).
UString DecodeCp437(const TBytes& bytes);
