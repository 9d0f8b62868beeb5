// Lower-casing and comparing under the process's locale, behind an interface
// so that the install search's string rules can be tested with a fake.
#pragma once

#include "base/text.h"

class TLocaleText {
public:
    virtual ~TLocaleText() = default;
    // Lower lower-cases the whole text by the locale's linguistic rules; it
    // raises EOSError when the system cannot.
    virtual UString Lower(const UString& text) = 0;
    // Same compares two texts case-sensitively under the locale.
    virtual bool Same(const UString& a, const UString& b) = 0;
};
