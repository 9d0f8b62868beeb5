// The one command-line switch: "/vmver" shows the version box at start-up.
#pragma once

#include <vector>

#include "base/text.h"
#include "updater/updater_texts.h"

// HasVersionSwitch: some parameter, lower-cased in A to Z only, equals "/vmver".
inline bool HasVersionSwitch(const std::vector<UString>& parameters) {
    for (const UString& parameter : parameters)
        if (AsciiLower(parameter) == kVersionSwitch) return true;
    return false;
}
