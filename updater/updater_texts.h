// Every text of the updater application. The windows' own captions come from
// their definitions; these are the few the code carries: the names it looks
// for, the open dialog's filter, the missing-archive box and the version box.
// The updater's one error class of its own is a sealed updater's refusal of
// an archive it was not released with; its other errors are the base layer's
// and the archive's.
#pragma once

#include "base/exception.h"
#include "base/text.h"

// The install search.
// kNotFound is the automatic search's answer when no candidate exists.
inline constexpr UStringView kNotFound = u"NotFound";
// kExecutableName is the name a lower-cased path of Kelvo.exe must end in.
inline constexpr UStringView kExecutableName = u"kelvo.exe";
// kMarkerName is the file that must lie beside Kelvo.exe for a folder to be accepted.
inline constexpr UStringView kMarkerName = u"dbrtsl100.bpl";
// kPathPlaceholder is the labels' text before a path is shown: 111 full stops.
inline const UString kPathPlaceholder(111, u'.');

// The open dialog's one filter: its display text ("Kelvo accounting
// program") and its pattern.
inline constexpr UStringView kFilterText = u"برنامه حسابداری کلوو";
inline constexpr UStringView kFilterPattern = u"Kelvo.exe";

// The update run.
// kArchiveName is the update archive's file name beside the executable.
inline constexpr UStringView kArchiveName = u"Data.dat";
// kMissingArchiveText is the plain box's text when Data.dat is missing: 24
// characters, stored in this order and shown in a left-to-right box, so that a
// right-to-left reader reads "the file Data.dat does not exist". Written piece
// by piece in stored order: space, "exists", space, "not", the Latin name,
// "file", space.
inline constexpr UStringView kMissingArchiveText = u" " u"\u0645\u0648\u062c\u0648\u062f" u" " u"\u0646\u06cc\u0633\u062a"
                                                   u"Data.dat" u"\u0641\u0627\u06cc\u0644" u" ";

// A sealed updater installs only the Data.dat it was released with: any other
// (swapped, changed in one byte) is refused before anything is written.
KELVO_EXCEPTION_CLASS(EForeignArchive, Exception);
inline constexpr UStringView kForeignArchiveText =
    u"Data.dat is not the update archive this updater was released with. Nothing was installed.";

// Start-up: the one command-line switch and the version box it shows.
inline constexpr UStringView kVersionSwitch = u"/vmver";
inline constexpr UStringView kVersionText = u"Velmora v9.11";
