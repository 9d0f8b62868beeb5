#include "toolkit/placement.h"

#include <cstdint>

UString ExecutableStem(UStringView path) {
    const size_t slash = path.rfind(u'\\');
    UStringView name = slash == UStringView::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find(u'.');
    if (dot != UStringView::npos) name = name.substr(0, dot);
    return UString(name);
}

TPoint DesktopCenter(const TRect& desktop, const TSize& window) {
    int x = desktop.Left + desktop.Width() / 2 - window.Width / 2;
    int y = desktop.Top + desktop.Height() / 2 - window.Height / 2;
    if (x < desktop.Left) x = desktop.Left;
    if (y < desktop.Top) y = desktop.Top;
    return {x, y};
}

TPoint CenterIn(const TRect& area, const TSize& box) {
    return {area.Left + (area.Width() - box.Width) / 2, area.Top + (area.Height() - box.Height) / 2};
}

TPoint MidPoint(const TRect& area) { return {(area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2}; }

int ScaleSize(int value, int multiplier, int divider) {
    if (divider <= 0) return value;
    const int64_t product = int64_t(value) * multiplier;
    const int64_t half = divider / 2;
    return int(product >= 0 ? (product + half) / divider : -((-product + half) / divider));
}
