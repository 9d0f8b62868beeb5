// SystemErrorText gives the operating system's text for an error code, as
// shown in the "Cannot open file" and "Cannot create file" messages: trailing
// characters up to U+0020 and full stops are removed.
#pragma once

#include <cstdint>

#include "base/text.h"

UString SystemErrorText(uint32_t errorCode);

// RaiseOSError raises EOSError for a system error code with the system's text,
// "System Error.  Code: 5.\r\nAccess is denied"; a code of 0 raises the
// unknown-error text.
[[noreturn]] void RaiseOSError(uint32_t errorCode);

// TrimSystemText removes trailing characters U+0000 to U+0020 and ".".
UString TrimSystemText(UString text);
