#include "archive/entry_names.h"
#include "archive/zip_texts.h"
#include "toolkit/errors.h"

// Linux has no code pages to ask: the decoders of entry_names.cpp stand in
// for the system's UTF-8 and code page 437 conversions.
UString DecodeEntryName(const TBytes& name, bool utf8) {
    if (!utf8) return DecodeCp437(name);
    std::optional<UString> text = DecodeUtf8Strict(name);
    if (!text) throw EEncodingError(UString(kNoUnicodeMapping));
    return *text;
}
