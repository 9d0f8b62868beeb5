#include "toolkit/label_win32.h"

#include "base/change_value.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/theme_library_win32.h"
#include "base/win32_handles.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
    SetTransparent(VisualStylesActive());
    if (!FTransparent) SetControlStyle(ControlStyle() | csOpaque);
}

void TLabel::SetAutoSize(bool autoSize) {
    if (ChangeValue(FAutoSize, autoSize)) AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) {
    if (!ChangeValue(FTransparent, transparent)) return;
    SetControlStyle(transparent ? TControlStyle(ControlStyle() & ~csOpaque) : TControlStyle(ControlStyle() | csOpaque));
    Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
    if (!ChangeValue(FWordWrap, wordWrap)) return;
    AdjustBounds();
    Invalidate();
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

bool TLabel::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    if (property.Name == u"AutoSize") SetAutoSize(TFormReader::Boolean(property));
    else if (property.Name == u"Transparent") SetTransparent(TFormReader::Boolean(property));
    else if (property.Name == u"WordWrap") SetWordWrap(TFormReader::Boolean(property));
    else return TGraphicControl::ReadProperty(property, reader);
    return true;
}

UINT TLabel::DrawFlags() const {
    // DT_NOPREFIX: a path such as "C:\R&D\Kelvo.exe" shows its "&".
    return DT_EXPANDTABS | DT_LEFT | DT_NOPREFIX | (FWordWrap ? DT_WORDBREAK : 0);
}

void TLabel::Paint(HDC dc) {
    RECT rect = ClientRect();
    if (!FTransparent) {
        TUniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(Color())));
        ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
    }
    TSelectedObject font(dc, Font().Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled() ? ColorToRGB(Font().Color()) : ::GetSysColor(COLOR_GRAYTEXT));
    ::DrawTextW(dc, W(Caption()), -1, &rect, DrawFlags());
}

void TLabel::TextChanged() {
    Invalidate();
    AdjustBounds();
}

void TLabel::FontChanged() {
    Invalidate();
    AdjustBounds();
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || InState(csLoading) || InState(csDestroying)) return;
    TWindowDC screen(nullptr);
    TSelectedObject font(screen.Get(), Font().Handle());
    // An empty caption measures as one space, so the label keeps a height.
    const UString text = Caption().empty() ? UString(u" ") : Caption();
    RECT rect{0, 0, FWordWrap ? Width() : 0, 0};
    ::DrawTextW(screen.Get(), W(text), -1, &rect, DrawFlags() | DT_CALCRECT);
    SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
}
