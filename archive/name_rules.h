// The rules an entry name must pass to be installed under its own name in the
// usual install folder: what the update run refuses and what Windows changes
// on the way. `dattool check` reports them, `dattool pack` refuses to write
// them. The run's own path rules (extract_paths.h) are used as they stand.
#pragma once

#include <utility>
#include <vector>

#include "base/text.h"

// The folder the automatic search finds on a usual installation, as the run has it.
inline constexpr UStringView kUsualInstallFolder = u"c:\\program files (x86)\\kelvo\\";
// A file path must be shorter than MAX_PATH (260) to be created without the extended-length form.
inline constexpr size_t kMaxFilePathLength = 260;

// NameProblems lists, one sentence each, what is wrong with one decoded entry
// name ("/" or "\" separated, a final separator for a folder entry).
std::vector<UString> NameProblems(UStringView name);

// TNameClash is a problem of entry Index that comes from another entry's name.
struct TNameClash {
    size_t Index;
    UString Problem;
};
// NameClashes finds names that Windows takes for the same file (letter case,
// "." forms, repeats) and files standing where another name needs a folder.
std::vector<TNameClash> NameClashes(const std::vector<UString>& names);

// ResolvedName is the name as Windows resolves it: "\" separated, "." and
// empty components dropped, ".." taken back; a folder entry keeps its final "\".
UString ResolvedName(UStringView name);
