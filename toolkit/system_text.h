// SystemErrorText gives the operating system's text for an error code, as
// shown in the "Cannot open file" and "Cannot create file" messages: trailing
// characters up to U+0020 and full stops are removed.
#pragma once

#include <cstdint>

#include "toolkit/text.h"

UString SystemErrorText(uint32_t errorCode);

// TrimSystemText removes trailing characters U+0000 to U+0020 and ".".
UString TrimSystemText(UString text);
