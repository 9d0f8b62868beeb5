// Every error class and text of the GUI toolkit. "%s" is filled in through Format.
#pragma once

#include "base/exception.h"
#include "base/text.h"

// Drawing that cannot get a bitmap or a drawing context.
KELVO_EXCEPTION_CLASS(EOutOfResources, Exception);
// A window definition's text that does not parse.
KELVO_EXCEPTION_CLASS(EParserError, Exception);
// The silent abort: the error display shows nothing for it.
KELVO_EXCEPTION_CLASS(EAbort, Exception);

inline constexpr UStringView kOutOfResources =
    u"Some operation could not be performed because the system is out of resources. Close some windows and try "
    u"again.";
