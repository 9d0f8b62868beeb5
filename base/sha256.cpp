#include "base/sha256.h"

UString Sha256Hex(const TSha256Digest& digest) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    UString text;
    for (const uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}
