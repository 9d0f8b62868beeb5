// The one command-line switch: "/vmver" shows the version box at start-up.
#pragma once

#include <vector>

#include "base/text.h"

constexpr char16_t kVersionSwitch[] = u"/vmver";
constexpr char16_t kVersionText[] = u"Velmora v9.11";

// HasVersionSwitch: some parameter, lower-cased in A to Z only, equals "/vmver".
inline bool HasVersionSwitch(const std::vector<UString>& parameters) {
    for (const UString& parameter : parameters)
        if (AsciiLower(parameter) == kVersionSwitch) return true;
    return false;
}
