// Every error class and text of the update archive: the default error display
// prints the texts, so they are part of the behaviour. "%s" is filled in
// through Format. Reading and writing exactly raise the base layer's
// EReadError and EWriteError with its "Stream read error" and "Stream write error".
#pragma once

#include "base/base_texts.h"
#include "base/exception.h"
#include "base/text.h"

// Files.
KELVO_EXCEPTION_CLASS(EFileStreamError, EStreamError);
KELVO_EXCEPTION_CLASS(EFOpenError, EFileStreamError);
KELVO_EXCEPTION_CLASS(EFCreateError, EFileStreamError);
// The container and decompression.
KELVO_EXCEPTION_CLASS(EZipException, Exception);
KELVO_EXCEPTION_CLASS(EZDecompressionError, Exception);
KELVO_EXCEPTION_CLASS(EListError, Exception);
KELVO_EXCEPTION_CLASS(EEncodingError, Exception);
// Paths; a name with characters no path may hold raises EArgumentException.
KELVO_EXCEPTION_CLASS(EPathTooLongException, Exception);
KELVO_EXCEPTION_CLASS(ENotSupportedException, Exception);
KELVO_EXCEPTION_CLASS(EDirectoryNotFoundException, Exception);
// A link on the way to a file the run writes that only an administrator may make.
KELVO_EXCEPTION_CLASS(ELinkRefused, Exception);

// Files.
inline constexpr UStringView kCannotOpenFile = u"Cannot open file \"%s\". %s";
inline constexpr UStringView kCannotCreateFile = u"Cannot create file \"%s\". %s";

// The container.
inline constexpr UStringView kInvalidArgument = u"Invalid argument";
inline constexpr UStringView kZipReadError = u"Error reading zip file";
inline constexpr UStringView kZipWriteError = u"Error writing zip file";
inline constexpr UStringView kBadCentralHeader = u"Invalid Zip Central Header signature";
inline constexpr UStringView kBadLocalHeader = u"Invalid Zip Local Header signature";
inline constexpr UStringView kNotOpenForReading = u"File must be open for reading";
inline constexpr UStringView kFileNotFound = u"The specified file was not found";
inline constexpr UStringView kItemNotFound = u"Item not found";
inline constexpr UStringView kNoUnicodeMapping =
    u"No mapping for the Unicode character exists in the target multi-byte code page";
inline constexpr UStringView kInvalidCodePage = u"Invalid code page";

// Paths and folders.
inline constexpr UStringView kInvalidPathChars = u"Invalid characters in path";
inline constexpr UStringView kPathTooLong = u"The specified path is too long";
inline constexpr UStringView kPathFormatNotSupported = u"The path format is not supported";
inline constexpr UStringView kDriveNotFound = u"The drive cannot be found";

// Extraction safety: an entry never lands outside its folder, and its data
// must match the checksum its central record carries.
inline constexpr UStringView kOutsideTargetFolder = u"Entry \"%s\" would be written outside the target folder";
// A link the run does not follow: below the target folder any link, and on
// the way to it one that an ordinary user could have made.
inline constexpr UStringView kLinkRefused =
    u"\"%s\" is a link that only an administrator may make; nothing is written through it";
// The archive of an update is a file of its own: not a link, not a second
// name of a file kept elsewhere.
inline constexpr UStringView kArchiveIsLinked =
    u"\"%s\" is a link or a file with more than one name; the update reads only a file of its own";
inline constexpr UStringView kChecksumError = u"Checksum error in \"%s\"";
// Two entries whose records point into the same bytes of the archive.
inline constexpr UStringView kEntriesOverlap = u"Entries \"%s\" and \"%s\" overlap in the archive";

// The name rules: what `dattool check` reports and `dattool pack` refuses about
// one entry's name, one sentence each, said of the entry.
inline constexpr UStringView kRunRefusesName = u"the update run refuses it: %s";
inline constexpr UStringView kWildcardInName = u"has * or ?, which Windows does not allow in a name";
inline constexpr UStringView kColonInName = u"has a \":\", which Windows takes for a drive or a stream";
inline constexpr UStringView kPartEndsInDotOrSpace = u"the name part \"%s\" ends in a dot or a space, which Windows drops";
inline constexpr UStringView kPartIsDeviceName = u"the name part \"%s\" is a device name on Windows";
inline constexpr UStringView kDotFormsMeanInstallFolder =
    u"has \".\", \"..\" or empty parts: Windows takes it for the install folder itself";
inline constexpr UStringView kDotFormsResolveTo = u"has \".\", \"..\" or empty parts: Windows writes it as \"%s\"";
inline constexpr UStringView kFolderInInstallFolderTooLong = u"its folder in %s has %s characters: %s";
inline constexpr UStringView kPathInInstallFolderTooLong = u"its path in %s has %s characters; Windows allows at most 259";
// Clashes between two names; the second "%s" is the other entry's name.
inline constexpr UStringView kNeedsFolderWhereFile = u"needs a folder \"%s\" where \"%s\" is a file";
inline constexpr UStringView kFileWhereFolder = u"is a file where \"%s\" needs a folder of the same name";
inline constexpr UStringView kFolderWhereFile = u"is a folder where \"%s\" is a file of the same name";
inline constexpr UStringView kSameFileOnWindows = u"is the same file as \"%s\" on Windows, which writes only one of them";
