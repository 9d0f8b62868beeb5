// The texts of `dattool seal`. "%s" is filled in through Format.
#pragma once

#include "base/exception.h"
#include "base/text.h"

KELVO_EXCEPTION_CLASS(ESealError, Exception);

inline constexpr UStringView kSealUsage = u"usage: dattool seal UPDATER_EXE ARCHIVE | dattool seal --show UPDATER_EXE";
inline constexpr UStringView kNotAnUpdater = u"\"%s\" is not an updater with a seal resource";
inline constexpr UStringView kAlreadySigned =
    u"\"%s\" is already signed: a seal written now would break its signature; seal first, then sign";
inline constexpr UStringView kSealedTo = u"%s: version %s, sealed to SHA-256 %s";
inline constexpr UStringView kNotSealed = u"%s: version %s, not sealed";
inline constexpr UStringView kSealWritten = u"sealed %s to %s: SHA-256 %s";
inline constexpr UStringView kNoVersion = u"unknown";
