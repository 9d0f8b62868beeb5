// CheckArchive is the vendor's pre-flight before shipping an update: it reads
// every entry of an archive open for reading, writes nothing, and reports each
// problem that would stop or spoil the update run.
#pragma once

#include <vector>

#include "archive/zip_file.h"

struct TCheckProblem {
    UString Entry;    // the entry's name as far as it can be decoded
    UString Problem;  // what is wrong, one sentence
};

std::vector<TCheckProblem> CheckArchive(TZipFile& zip);
