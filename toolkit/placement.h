// Pure arithmetic behind a window's title and placement, kept apart from the
// windows so that it can be checked exactly.
#pragma once

#include "base/geometry.h"
#include "base/text.h"

// ExecutableStem is the file name after the last backslash, cut at its first
// full stop: "C:\Apps\my.update.exe" gives "my".
UString ExecutableStem(UStringView path);

// Three centring rules place the program's windows. They differ in where the
// halving truncates (toward zero, as C++ division does), so each keeps its own
// name: a pixel's difference decides whether the windows line up.

// DesktopCenter places a form of outer size window in the middle of the
// desktop: each half (the desktop's and the window's) truncates by itself,
// and the window never starts left of or above the desktop.
TPoint DesktopCenter(const TRect& desktop, const TSize& window);

// CenterIn places a box of outer size box in the middle of area, halving the
// room left over (area minus box), without clamping: a message box on the
// work area, the application window on the screen.
TPoint CenterIn(const TRect& area, const TSize& box);

// MidPoint is the middle of area, halving the sum of its edges: where the
// application window goes on another monitor's work area.
TPoint MidPoint(const TRect& area);

// ScaleSize converts a length laid out at one resolution to another, rounding
// to the nearest pixel (halves away from zero); a divider below 1 changes nothing.
int ScaleSize(int value, int multiplier, int divider);
