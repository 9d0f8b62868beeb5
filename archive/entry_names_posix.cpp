#include <locale.h>
#include <wctype.h>

#include "archive/entry_names.h"
#include "archive/zip_texts.h"

// Linux has no code pages to ask: the decoders of entry_names.cpp stand in
// for the system's UTF-8 and code page 437 conversions.
UString DecodeEntryName(const TBytes& name, bool utf8) {
    if (!utf8) return DecodeCp437(name);
    std::optional<UString> text = DecodeUtf8Strict(name);
    if (!text) throw EEncodingError(UString(kNoUnicodeMapping));
    return *text;
}

UString UpperCaseAsFileSystem(UStringView text) {
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    UString out(text);
    for (char16_t& c : out) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;  // file systems compare UTF-16 units one by one
        const wint_t upper = unicode != nullptr ? ::towupper_l(c, unicode) : static_cast<wint_t>(c);
        if (upper < 0x10000) c = static_cast<char16_t>(upper);
    }
    return out;
}
