// Pure arithmetic behind a window's title and placement, kept apart from the
// windows so that it can be checked exactly.
#pragma once

#include "base/text.h"

// ExecutableStem is the file name after the last backslash, cut at its first
// full stop: "C:\Apps\my.update.exe" gives "my".
UString ExecutableStem(UStringView path);

struct TDesktopPoint {
    int X;
    int Y;
};

// DesktopCenter places a window of outer size width x height in the middle of
// the desktop rectangle (left, top, desktopWidth x desktopHeight). Each halving
// truncates toward zero, and the window never starts left of or above the desktop.
TDesktopPoint DesktopCenter(int left, int top, int desktopWidth, int desktopHeight, int width, int height);

// ScaleSize converts a length laid out at one resolution to another, rounding
// to the nearest pixel (halves away from zero); a divider below 1 changes nothing.
int ScaleSize(int value, int multiplier, int divider);
