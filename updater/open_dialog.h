// The open-file dialog's portable rules: where it starts and where the
// classic dialog is placed.
#pragma once

#include <optional>

#include "base/geometry.h"
#include "base/text.h"

// DialogFolder turns the current directory into the dialog's starting
// folder: a trailing backslash is dropped unless it follows a colon, so
// C:\Data\ becomes C:\Data while the drive root C:\ stays as it is.
UString DialogFolder(UString currentDirectory);

// DialogPosition places a dialog of the given size horizontally centred and
// at one third of the free height of the monitor area.
TPoint DialogPosition(const TRect& monitor, int width, int height);
