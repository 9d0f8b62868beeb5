// Finding where Kelvo is installed: the fixed table of standard locations,
// the existence test for files, and the marker check that accepts a folder
// only when dbrtsl100.bpl lies beside Kelvo.exe.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/text.h"
#include "updater/install_files.h"
#include "updater/locale_text.h"

// kInstallCandidates lists where the automatic search looks, in probe order:
// drives C to L without I, the "(x86)" folder first on each. Drives are probed
// as they are, without asking first whether they exist or hold a medium.
extern const std::array<const char16_t*, 18> kInstallCandidates;

enum TSelectionKind : uint8_t { skAutomatic, skManual };

// SearchInstallation returns the first candidate that exists, spelled as in
// the table, or kNotFound. probe holds each candidate while it is tested, so
// after a search that found nothing it holds the last one. The search keeps
// the system's critical-error box away while it probes drives.
UString SearchInstallation(TFileSystem& files, UString& probe);

// EndsWithExecutableName tells whether the lower-cased path's last nine
// characters compare equal to "kelvo.exe" under the locale.
bool EndsWithExecutableName(TLocaleText& text, const UString& lowered);

// AcceptedFolder applies the marker check to an executable's path: it answers
// the lower-cased folder of the executable, with its trailing backslash, when
// the marker file lies beside it. A manual selection must also pass the ending
// test. Only the file name at the end is exchanged for the marker's, so a
// folder whose name contains "kelvo.exe" is never mistaken for the file.
std::optional<UString> AcceptedFolder(TFileSystem& files, TLocaleText& text, const UString& path,
                                      TSelectionKind kind);
