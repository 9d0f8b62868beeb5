// Every line dattool writes, and every problem `check` and `pack` report: the
// vendor's scripts read them, so they are part of the behaviour. "%s" is
// filled in through Format; a quoted "%s" is an entry's or a file's name.
// The name rules' sentences are the archive's (archive/zip_texts.h).
#pragma once

#include <string>

#include "base/text.h"

// Usage.
inline constexpr UStringView kUsage =
    u"usage: dattool list ARCHIVE | dattool extract ARCHIVE DIR | dattool check ARCHIVE | "
    u"dattool pack [--fixed-time] FOLDER ARCHIVE";
inline constexpr UStringView kPackUsage = u"usage: dattool pack [--fixed-time] FOLDER ARCHIVE";

// list: a header, then name, method, compressed and uncompressed size, checksum.
inline constexpr UStringView kListHeader = u"name\tmethod\tcompressed\tuncompressed\tcrc32";
inline constexpr UStringView kListLine = u"%s\t%s\t%s\t%s\t%s";

// check: one line per problem, then the summary ("1 problem in 2 entries").
inline constexpr UStringView kProblemLine = u"%s: %s";
inline constexpr UStringView kQuotedName = u"\"%s\"";
inline constexpr UStringView kWholeArchive = u"archive";
inline constexpr UStringView kCannotReadArchive = u"the archive cannot be read: %s";
inline constexpr UStringView kEmptyArchiveNote =
    u"the archive is empty (0 bytes): the update run takes it for an archive without entries "
    u"and writes the 22-byte empty archive into it";
inline constexpr UStringView kSummary = u"%s in %s";
inline constexpr UStringView kNoProblems = u"no problems";
inline constexpr UStringView kCounted = u"%s %s";
inline constexpr UStringView kProblem = u"problem";
inline constexpr UStringView kProblems = u"problems";
inline constexpr UStringView kEntry = u"entry";
inline constexpr UStringView kEntries = u"entries";

// check: an entry's records and data.
inline constexpr UStringView kEncrypted = u"is encrypted";
inline constexpr UStringView kHasZip64Markers = u"has ZIP64 markers";
inline constexpr UStringView kLocalHasZip64Markers = u"its local header has ZIP64 markers";
inline constexpr UStringView kNotReadByRun = u"%s, which the update run does not read";
inline constexpr UStringView kUnknownMethod = u"uses compression method %s, which the update run cannot extract: %s";
inline constexpr UStringView kLocalHeaderPastEnd = u"its local header lies past the end of the archive";
inline constexpr UStringView kRunStopsHere = u"the update run stops here: %s";
inline constexpr UStringView kWrongChecksum = u"has a wrong checksum";
inline constexpr UStringView kLocalOtherName = u"its local header gives another name";
inline constexpr UStringView kLocalOtherMethod = u"its local header gives compression method %s";
inline constexpr UStringView kLocalOtherSizes =
    u"its local header gives other sizes or another checksum than the central directory";
inline constexpr UStringView kLocalRunsPastEnd = u"its local header runs past the end of the archive";
inline constexpr UStringView kDataPastEnd = u"its data runs past the end of the archive";
inline constexpr UStringView kDataIntoDirectory = u"its data runs into the central directory";
inline constexpr UStringView kStoredTwoSizes = u"is stored with two different sizes";
inline constexpr UStringView kMoreDataThanRecorded = u"holds more data than its recorded size";
inline constexpr UStringView kDeflateDoesNotEnd = u"has deflate data that does not end";
inline constexpr UStringView kWrongCompressedSize = u"has a wrong compressed size";

// check: the names as the run decodes them.
inline constexpr UStringView kUnflaggedName = u"is not flagged UTF-8, so it is installed as \"%s\"";
inline constexpr UStringView kReadAsUtf8 = u"; read as UTF-8 it is \"%s\"";
inline constexpr UStringView kMixedFlags =
    u"is flagged UTF-8 while other names are not: updaters that read every name by one flag install it as \"%s\"";
inline constexpr UStringView kRunRefusesItsName = u"the update run refuses its name: %s";

// check: the records around the central directory.
inline constexpr UStringView kEndRecordZip64 = u"the end record has ZIP64 markers, which the update run does not read";
inline constexpr UStringView kBytesBeforeEndRecord =
    u"%s bytes lie between the central directory and the end record; the update run's write-back overwrites them";
inline constexpr UStringView kDirectoryIntoEndRecord = u"the central directory runs into the end record";

// pack: the folder's items, each problem naming the item.
inline constexpr UStringView kNameNotUtf8 = u"\"%s\": its name is not UTF-8";
inline constexpr UStringView kItemUnreadable = u"\"%s\": cannot be read: %s";
inline constexpr UStringView kNotPlainFileOrFolder = u"\"%s\": is not a plain file or folder";
inline constexpr UStringView kNotAFolder = u"\"%s\": is not a folder";
inline constexpr UStringView kFolderNotReadWhole = u"\"%s\": cannot be read whole: %s";
inline constexpr UStringView kItemProblem = u"\"%s\": %s";
inline constexpr UStringView kBackslashInName = u"\"%s\": has a \"\\\", which Windows takes for a folder separator";
inline constexpr UStringView kFileTooLarge =
    u"\"%s\": is %s bytes; an update archive holds files smaller than 4 GiB (no ZIP64)";
inline constexpr UStringView kTooManyEntries = u"the folder gives %s entries; an update archive holds at most 65,535 (no ZIP64)";
inline constexpr UStringView kArchiveInsideFolder = u"\"%s\": lies inside the folder to pack";

// pack: writing the archive; an error names the entry it stopped at (kItemProblem).
inline constexpr UStringView kChangedWhilePacked = u"changed while it was packed";
inline constexpr UStringView kEndsBeyond4GiB = u"ends beyond 4 GiB; the update archive has no ZIP64";
inline constexpr UStringView kZlibCannotStart = u"zlib cannot be initialised";

// pack: the outcome.
inline constexpr UStringView kNewArchiveCheck = u"check of the new archive: %s";
inline constexpr UStringView kPacked = u"packed %s entries into %s";
inline constexpr UStringView kNothingPacked = u"nothing packed";
inline constexpr UStringView kNothingPackedFor = u"nothing packed: %s";

// Decimal writes a count or size as the texts show it.
inline UString Decimal(uint64_t value) { return FromUtf8(std::to_string(value)); }
// Counted is "1 problem", "2 problems".
inline UString Counted(size_t count, UStringView one, UStringView many) {
    return Format(kCounted, {Decimal(count), count == 1 ? one : many});
}
