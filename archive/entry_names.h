// Entry names are bytes in the archive and text everywhere else. A name whose
// central record has bit 11 set is UTF-8; any other name is code page 437.
#pragma once

#include <optional>

#include "archive/streams.h"
#include "base/text.h"

// DecodeEntryName turns name bytes into text: strict UTF-8 (an invalid
// sequence raises EEncodingError) or code page 437 (every byte maps).
UString DecodeEntryName(const TBytes& name, bool utf8);

// DecodeUtf8Strict decodes UTF-8, or gives nothing for an invalid, overlong,
// surrogate or cut-short sequence.
std::optional<UString> DecodeUtf8Strict(const TBytes& bytes);
// DecodeCp437 maps each byte through code page 437 (0x00-0x7F as themselves).
UString DecodeCp437(const TBytes& bytes);

// UpperCaseAsFileSystem upper-cases text as Windows does when it compares file
// names (two names that differ only in letter case are one file there).
UString UpperCaseAsFileSystem(UStringView text);
