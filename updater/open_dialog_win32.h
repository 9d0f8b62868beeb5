// The open-file dialog of the manual selection: the shell's dialog where the
// system has it, the classic common dialog otherwise.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/text.h"

struct TOpenDialogSettings {
    UString FilterText;     // display text of the dialog's one filter
    UString FilterPattern;  // its pattern
    int FilterIndex;        // 1-based; a number past the last filter selects the last
    UString Folder;         // starting folder; empty leaves the system's choice
    HWND Owner;             // we don't own it
    HWND PlaceBeside;       // the classic dialog is centred on this window's monitor; we don't own it
};

enum TOpenDialogKind : uint8_t { odShell, odClassic };

// RunOpenDialog shows the dialog modally, with the file-must-exist option
// only, and answers the chosen file's full path, or nothing when the user
// cancelled. The shell's dialog is used unless the system cannot create it.
std::optional<UString> RunOpenDialog(const TOpenDialogSettings& settings);

// RunOpenDialogOfKind shows the given kind of dialog.
std::optional<UString> RunOpenDialogOfKind(const TOpenDialogSettings& settings, TOpenDialogKind kind);
