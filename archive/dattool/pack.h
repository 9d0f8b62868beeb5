// `dattool pack FOLDER ARCHIVE` makes an update archive that passes every
// check by construction: each name flagged UTF-8 and "/" separated, an entry
// for every folder, raw deflate (stored when that is not smaller), sorted
// entries, no ZIP64. Anything check would report is refused, naming it, and
// the result is checked before it is kept. Files are streamed, never loaded whole.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "archive/dattool/dattool.h"
#include "base/file_system.h"

// TPackItem is one entry to be: its name in the archive and where its content lies.
struct TPackItem {
    UString Name;  // relative, "/" separated; a folder's ends in "/"
    UString Path;  // the file or folder on disk
    bool Folder = false;
    uint64_t Size = 0;
};

// kFixedTime is 1980-01-01 00:00:00 in MS-DOS form: the same folder always gives the same bytes.
inline constexpr uint32_t kFixedTime = 0x00210000;
inline constexpr size_t kMostEntries = 65535;
inline constexpr uint64_t kLargestFile = 0xFFFFFFFFull;  // 4 GiB - 1: sizes are 32 bits without ZIP64

// CollectPackItems lists everything below folder in the archive's order (by
// the names' UTF-8 bytes), leaving out what matches an exclude pattern; what
// cannot become an entry (a link, a junction, a device) goes to problems.
std::vector<TPackItem> CollectPackItems(const UString& folder, const std::vector<UString>& excludes,
                                        std::vector<UString>& problems);
// MatchesPattern: name matches pattern, where "*" stands for any run of characters and "?" for one.
bool MatchesPattern(UStringView name, UStringView pattern);
// PackProblems lists, one line each naming the entry, what check would report
// about these items, and what the archive format cannot hold.
std::vector<UString> PackProblems(const std::vector<TPackItem>& items);
// WritePackArchive writes the items as an archive into file, an empty file
// at path that it takes over; time is an MS-DOS date and time; progress hears
// the count of entries written.
void WritePackArchive(const std::vector<TPackItem>& items, const UString& path, TNativeFile file, uint32_t time,
                      const std::function<void(size_t)>& progress);
