// Every error class and text of the skinnable controls and their pictures.
// "%s" is filled in through Format. The controls also raise errors that are
// not theirs: EReadError with "Stream read error" and EArgumentException
// (base/base_texts.h), EOutOfResources with its text (toolkit/toolkit_texts.h).
#pragma once

#include "base/exception.h"
#include "base/text.h"

// A picture whose data cannot be decoded.
KELVO_EXCEPTION_CLASS(EInvalidGraphic, Exception);

// A plain bitmap is never read from stored picture data.
inline constexpr UStringView kBitmapNotStored = u"Bitmap image is not valid";

// Stored picture data gives its class name one length byte (EArgumentException).
inline constexpr UStringView kClassNameTooLong = u"Picture class name longer than 255 bytes";

// A PNG file cut short. The PNG decoder reports its errors in 8-bit text,
// which becomes the text of EInvalidGraphic; every other such text is the decoder's own.
inline constexpr char kPngDataEndsTooEarly[] = "PNG data ends too early";
