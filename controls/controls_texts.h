// Every error class and text of the skinnable controls and their pictures.
// "%s" is filled in through Format.
#pragma once

#include "base/exception.h"
#include "base/text.h"

// A picture whose data cannot be decoded.
KELVO_EXCEPTION_CLASS(EInvalidGraphic, Exception);
