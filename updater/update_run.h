// The update run behind the start button: Data.dat beside the executable is
// opened read-write, every entry extracted into the install folder, the central
// directory written back, and the completion window shown. When Data.dat is
// missing the user is told so in a plain box and nothing is touched. A sealed
// updater first reads the whole archive through the handle it opened and
// refuses, writing nothing, an archive whose SHA-256 is not its seal's.
#pragma once

#include "archive/archive_seal.h"
#include "base/text.h"
#include "updater/install_files.h"

// ArchivePathBeside cuts the executable's full path after its last backslash or
// colon and appends "Data.dat"; the current directory plays no part.
UString ArchivePathBeside(const UString& modulePath);

// TUpdateRunWindow is what the update run shows.
class TUpdateRunWindow {
public:
    virtual ~TUpdateRunWindow() = default;
    // ShowCompletion shows the one completion window, topmost, brought to the front.
    virtual void ShowCompletion() = 0;
    // ShowPlainMessage shows a modal box with text, the title and an OK button.
    virtual void ShowPlainMessage(const UString& text) = 0;
};

// RunUpdate is one press of the start button. archivePath is set first, at
// every press. Errors are not caught: they go on to the default error display
// after the archive has been closed (with its write-back when it was open).
// seal is the running updater's own: unsealed, the run is the same as ever.
void RunUpdate(TUpdateRunWindow& window, TFileSystem& files, const UString& modulePath,
               const UString& installFolder, UString& archivePath, const TArchiveSeal& seal = TArchiveSeal());
