#include "toolkit/placement.h"

#include <cstdint>

UString ExecutableStem(UStringView path) {
    const size_t slash = path.rfind(u'\\');
    UStringView name = slash == UStringView::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find(u'.');
    if (dot != UStringView::npos) name = name.substr(0, dot);
    return UString(name);
}

TDesktopPoint DesktopCenter(int left, int top, int desktopWidth, int desktopHeight, int width, int height) {
    // C++ division truncates toward zero, as the placement rule requires.
    int x = left + desktopWidth / 2 - width / 2;
    int y = top + desktopHeight / 2 - height / 2;
    if (x < left) x = left;
    if (y < top) y = top;
    return {x, y};
}

int ScaleSize(int value, int multiplier, int divider) {
    if (divider <= 0) return value;
    const int64_t product = int64_t(value) * multiplier;
    const int64_t half = divider / 2;
    return int(product >= 0 ? (product + half) / divider : -((-product + half) / divider));
}
