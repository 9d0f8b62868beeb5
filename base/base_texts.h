// The errors that every subsystem raises, and their texts: reading and writing
// bytes, bad arguments and failed system calls. "%s" is filled in through Format.
#pragma once

#include "base/exception.h"
#include "base/text.h"

KELVO_EXCEPTION_CLASS(EStreamError, Exception);
KELVO_EXCEPTION_CLASS(EReadError, EStreamError);
KELVO_EXCEPTION_CLASS(EWriteError, EStreamError);
KELVO_EXCEPTION_CLASS(EArgumentException, Exception);
KELVO_EXCEPTION_CLASS(EOSError, Exception);

// Reading and writing exactly: data that ends early, a disk that takes less.
inline constexpr UStringView kStreamReadError = u"Stream read error";
inline constexpr UStringView kStreamWriteError = u"Stream write error";

// A failed system call: its code and the system's text for it.
inline constexpr UStringView kOSError = u"System Error.  Code: %s.\r\n%s";
inline constexpr UStringView kUnknownOSError = u"A call to an OS function failed";
