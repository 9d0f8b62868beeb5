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
inline constexpr UStringView kChecksumError = u"Checksum error in \"%s\"";
