// The texts of `dattool seal`. "%s" is filled in through Format.
#pragma once

#include "base/exception.h"
#include "base/text.h"

KELVO_EXCEPTION_CLASS(ESealError, Exception);

inline constexpr UStringView kSealUsage = u"UPDATER_EXE ARCHIVE | --show UPDATER_EXE";
inline constexpr UStringView kSealSummary = u"Seals the updater to ARCHIVE (its SHA-256, written in place), or shows its seal.";
inline constexpr UStringView kSealDetails =
    u"A sealed updater installs only the archive it is sealed to. Seal first, then sign:\n"
    u"an exe that is already signed is refused, since the seal would break its signature.\n"
    u"options:\n"
    u"  --show   print the exe's version and what it is sealed to, or that it is not sealed";
inline constexpr UStringView kNotAnUpdater = u"\"%s\" is not an updater with a seal resource";
inline constexpr UStringView kAlreadySigned =
    u"\"%s\" is already signed: a seal written now would break its signature; seal first, then sign";
inline constexpr UStringView kSealedTo = u"%s: version %s, sealed to SHA-256 %s";
inline constexpr UStringView kNotSealed = u"%s: version %s, not sealed";
inline constexpr UStringView kSealWritten = u"sealed %s to %s: SHA-256 %s";
inline constexpr UStringView kNoVersion = u"unknown";
