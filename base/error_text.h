// What the default error display shows for an error that escaped a handler.
#pragma once

#include "base/exception.h"
#include "base/text.h"

// DisplayText is the error's message, replaced by the message of each inner
// error that has one, down to the innermost, with the full-stop rule applied.
UString DisplayText(const Exception& error);

// WithFullStop appends "." when the last character's code is above that of "."
// (letters, digits, "/"); text ending in ".", a space, ")" or a quote is kept.
UString WithFullStop(UString text);
