// DisplayText is an error's text as the default error display shows it: the
// innermost non-empty message of the error and the errors it wraps, with a
// full stop appended when its last character is above ".".
#pragma once

#include "toolkit/errors.h"

UString DisplayText(const Exception& error);

// WithFullStop appends "." when the text's last character is above ".".
UString WithFullStop(UString text);
