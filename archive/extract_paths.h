// The pure path rules of extraction: how an entry's name and the target
// folder combine, which folder a target needs, whether a folder path may be
// created, and whether a target stays inside its folder. Nothing here calls
// the system; "\" separates folders ("/" is accepted where the system would).
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"

// HasInvalidPathChars: U+0000 to U+001F, a double quote, <, > or |.
bool HasInvalidPathChars(UStringView path);
// IsPathRooted: first character "\" or "/", or second character ":" (after a "\\?\" prefix too).
bool IsPathRooted(UStringView path);
// CombinePath joins folder and name; a rooted name stands alone. Raises EArgumentException.
UString CombinePath(UStringView folder, UStringView name);
// LastPathComponent is the part after the last "\" or ":".
UString LastPathComponent(UStringView name);
// DirectoryPart is the target up to its last "\" or ":", with a final "\"
// dropped unless it follows ":" or "\" (C:\K\a.txt gives C:\K, C:\a.txt gives C:\).
UString DirectoryPart(UStringView target);
// CheckFolderPath checks an expanded folder path before it is created: too
// long, a colon after the drive, invalid characters, a drive that is missing.
void CheckFolderPath(UStringView expanded, uint32_t logicalDrives);
// FolderLevels lists the folders to make for an expanded path, outermost first, root excluded.
std::vector<UString> FolderLevels(UStringView expanded);
// IsInsideFolder: target lies below folder (or is the folder itself when allowSame).
bool IsInsideFolder(UStringView folder, UStringView target, bool allowSame);
// ClimbsOut: resolving the name's "." and ".." components leaves the folder it starts in.
bool ClimbsOut(UStringView name);
// HasTrailingSeparator: the path ends with "\" or "/".
bool HasTrailingSeparator(UStringView path);
