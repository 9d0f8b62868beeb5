// Every line dattool writes, and every problem `check` and `pack` report: the
// vendor's scripts read them, so they are part of the behaviour. "%s" is
// filled in through Format; a quoted "%s" is an entry's or a file's name.
// The name rules' sentences are the archive's (archive/zip_texts.h).
#pragma once

#include <string>

#include "base/text.h"

// The command table's texts: usage, a one-line summary and the details of each command.
inline constexpr UStringView kListUsage = u"ARCHIVE";
inline constexpr UStringView kListSummary = u"Lists each entry: method, sizes, date, checksum and name, then the totals.";
inline constexpr UStringView kListDetails = u"";
inline constexpr UStringView kExtractUsage = u"ARCHIVE FOLDER";
inline constexpr UStringView kExtractSummary =
    u"Extracts everything into FOLDER exactly as the update run does, and writes the directory back.";
inline constexpr UStringView kExtractDetails = u"";
inline constexpr UStringView kCheckUsage = u"[--strict] ARCHIVE";
inline constexpr UStringView kCheckSummary =
    u"Reads everything as the update run would and reports its problems and warnings; writes nothing.";
inline constexpr UStringView kCheckDetails =
    u"A problem makes the update run install something else than the folder packed, or stop.\n"
    u"A warning is something the update run handles but other archive readers may not.\n"
    u"options:\n"
    u"  --strict   warnings count as problems (exit 1)";
inline constexpr UStringView kDiffUsage = u"ARCHIVE FOLDER";
inline constexpr UStringView kDiffSummary =
    u"Tells what the update run would do to the installation in FOLDER, without touching it.";
inline constexpr UStringView kDiffDetails =
    u"Each entry is new, replaced or unchanged; where the run would stop is said per entry;\n"
    u"files in FOLDER that the archive does not hold are listed apart (the run leaves them).\n"
    u"Exit 0 when FOLDER already holds what the archive would write.";
inline constexpr UStringView kPackUsage = u"[--fixed-time] [--force] [--exclude PATTERN]... FOLDER ARCHIVE";
inline constexpr UStringView kPackSummary = u"Makes an update archive of FOLDER that passes check.";
inline constexpr UStringView kPackDetails =
    u"The archive is written beside ARCHIVE and put in its place only when it is complete and checked.\n"
    u"options:\n"
    u"  --fixed-time       every entry dated 1980-01-01: the same folder always gives the same bytes\n"
    u"  --force            replace an existing ARCHIVE that is not an update archive\n"
    u"  --exclude PATTERN  leave out files and folders whose name or path matches PATTERN (* and ?); repeatable";

// The usage and help texts around the table.
inline constexpr UStringView kUsageLine = u"usage: dattool %s %s";
inline constexpr UStringView kOverviewHead = u"usage: dattool COMMAND [OPTIONS] ARGUMENTS";
inline constexpr UStringView kOverviewLine = u"  dattool %s %s";
inline constexpr UStringView kOverviewSummary = u"      %s";
inline constexpr UStringView kOverviewTail =
    u"Options may stand anywhere; \"--\" ends them. dattool COMMAND --help tells more; dattool --version "
    u"gives the version.";
inline constexpr UStringView kExitCodes =
    u"exit codes: 0 done or clean; 1 problems found or the run failed; 2 a wrong command line or input that "
    u"cannot be read";
inline constexpr UStringView kVersionLine = u"dattool %s";
inline constexpr UStringView kUnknownCommand = u"dattool: unknown command \"%s\"";
inline constexpr UStringView kSeeHelp = u"dattool --help lists the commands";
inline constexpr UStringView kToolSays = u"dattool %s: %s";
inline constexpr UStringView kMoreHelp = u"dattool %s --help tells more";
inline constexpr UStringView kUnknownOption = u"unknown option \"%s\"";
inline constexpr UStringView kOptionWantsValue = u"option \"%s\" wants a value";
inline constexpr UStringView kTooFewArguments = u"too few arguments";
inline constexpr UStringView kUnexpectedArgument = u"unexpected argument \"%s\"";

// Input that cannot be read (exit 2).
inline constexpr UStringView kCannotReadInput = u"\"%s\": cannot be read: %s";
inline constexpr UStringView kNotAnArchiveOrCut =
    u"\"%s\": is not an update archive, or it is cut short: its end record or directory is missing (%s)";
inline constexpr UStringView kNoSuchFolder = u"\"%s\": no such folder";

// list: a header, then method, compressed and uncompressed size, date, checksum and name; then the totals.
inline constexpr UStringView kListHeader = u"method\tcompressed\tsize\tmodified\tcrc32\tname";
inline constexpr UStringView kListLine = u"%s\t%s\t%s\t%s\t%s\t%s";
inline constexpr UStringView kListTotals = u"total\t%s\t%s\t\t\t%s";
inline constexpr UStringView kMethodStored = u"stored";
inline constexpr UStringView kMethodDeflated = u"deflated";
inline constexpr UStringView kMethodNumber = u"method-%s";

// check: one line per problem or warning, then the summary ("1 problem, 2 warnings in 3 entries").
inline constexpr UStringView kProblemLine = u"%s: %s";
inline constexpr UStringView kQuotedName = u"\"%s\"";
inline constexpr UStringView kWholeArchive = u"archive";
inline constexpr UStringView kWarningLine = u"%s: warning: %s";
inline constexpr UStringView kEmptyArchive =
    u"the archive is empty (0 bytes): the update run takes it for an archive without entries and installs nothing";
inline constexpr UStringView kNoEntries = u"the archive holds no entries: the update run installs nothing";
inline constexpr UStringView kManyOfAKindAdvice =
    u"%s entries: %s... - repack the folder with dattool pack, which writes an archive without these problems";
inline constexpr UStringView kWarning = u"warning";
inline constexpr UStringView kWarnings = u"warnings";
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
    u"is flagged UTF-8 while other names are not: KelvoUpdater installs this name right, but readers that "
    u"take one flag for the whole archive show it as \"%s\"";
inline constexpr UStringView kRunRefusesItsName = u"the update run refuses its name: %s";

// check: the records around the central directory.
inline constexpr UStringView kEndRecordZip64 = u"the end record has ZIP64 markers, which the update run does not read";
inline constexpr UStringView kBytesBeforeEndRecord =
    u"%s bytes lie between the central directory and the end record; the update run's write-back overwrites them";
inline constexpr UStringView kDirectoryIntoEndRecord = u"the central directory runs into the end record";

// diff: one line per entry, then the files the archive does not hold, then the counts.
inline constexpr UStringView kDiffLine = u"%s\t%s";
inline constexpr UStringView kDiffNew = u"new";
inline constexpr UStringView kDiffReplaced = u"replaced";
inline constexpr UStringView kDiffUnchanged = u"unchanged";
inline constexpr UStringView kDiffStops = u"stops";
inline constexpr UStringView kDiffFileInTheWay = u"a file \"%s\" stands where a folder must be made";
inline constexpr UStringView kDiffFolderInTheWay = u"a folder \"%s\" stands where the file must be written";
inline constexpr UStringView kDiffPathTooLong = u"its path in this folder has %s characters; Windows allows at most 259";
inline constexpr UStringView kDiffNotHeldHead = u"not in the archive (the update run leaves them):";
inline constexpr UStringView kDiffNotHeldLine = u"\t%s";
inline constexpr UStringView kDiffTotals =
    u"%s new, %s replaced, %s unchanged, %s where the update run stops; %s files not in the archive";

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
inline constexpr UStringView kIsALink =
    u"\"%s\": is a link or junction; pack takes only what lies in the folder (replace it with the files)";

// pack: where the archive goes.
inline constexpr UStringView kOutputNotRegular = u"\"%s\": is not a regular file; pack writes only an archive file";
inline constexpr UStringView kOutputNotAnArchive =
    u"\"%s\": exists and is not an update archive; give --force to replace it";
inline constexpr UStringView kNoTemporaryName = u"no free name for a temporary file beside \"%s\"";
inline constexpr UStringView kCannotPutInPlace = u"cannot put the new archive in place of \"%s\": %s";
inline constexpr UStringView kCannotWrite = u"cannot write \"%s\": %s";
inline constexpr UStringView kPackProgress = u"packed %s of %s entries";

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
