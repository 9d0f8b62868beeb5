// Plane geometry for every subsystem: pixels, windows, monitors and desktops.
#pragma once

// TPoint is a position in pixels, X to the right and Y downwards.
struct TPoint {
    int X, Y;
};

// TRect is a pixel rectangle; Right and Bottom lie just outside it, so an
// empty rectangle has Right == Left or Bottom == Top. Width and Height may be
// negative for a rectangle given the wrong way round; callers clamp as needed.
struct TRect {
    int Left, Top, Right, Bottom;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

// TSize is a width and a height in pixels.
struct TSize {
    int Width, Height;
};
