// The parts of the pre-flight, each over the whole archive: the names
// (check_names.cpp), each entry's records and data (check_entries.cpp) and
// the records around the central directory (check_records.cpp).
#pragma once

#include <vector>

#include "archive/zip_file.h"

// TEntryProblems holds, for each entry, its name as the run reads it, its
// problems and its warnings (what the run handles but other readers may not).
struct TEntryProblems {
    UString Name;
    std::vector<UString> Problems;
    std::vector<UString> Warnings;
};

// CheckNames decodes every name as the run does and applies the name rules.
std::vector<TEntryProblems> CheckNames(TZipFile& zip);
// CheckEntry reads one entry as the run does: method, local header, data, sizes, checksum.
void CheckEntry(TZipFile& zip, TStream& archive, int index, std::vector<UString>& problems);
// CheckRecords looks at the end record and at what lies around the central directory.
std::vector<UString> CheckRecords(TZipFile& zip, TStream& archive);
