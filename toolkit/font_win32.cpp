#include "toolkit/font_win32.h"

#include <algorithm>

#include "base/change_value.h"

COLORREF ColorToRGB(TColor color) {
    if ((uint32_t(color) & 0xFF000000u) == 0xFF000000u) return ::GetSysColor(int(color & 0xFF));
    return COLORREF(color & 0xFFFFFF);
}

void TFont::SetName(const UString& name) {
    if (ChangeValue(FName, name)) Changed();
}

void TFont::SetHeight(int height) {
    if (ChangeValue(FHeight, height)) Changed();
}

void TFont::SetColor(TColor color) {
    if (ChangeValue(FColor, color)) Changed();
}

void TFont::SetCharset(uint8_t charset) {
    if (ChangeValue(FCharset, charset)) Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (ChangeValue(FStyle, style)) Changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    const bool same = FName == source.FName && FHeight == source.FHeight && FColor == source.FColor &&
                      FCharset == source.FCharset && FStyle == source.FStyle;
    if (same) return;
    FName = source.FName;
    FHeight = source.FHeight;
    FColor = source.FColor;
    FCharset = source.FCharset;
    FStyle = source.FStyle;
    Changed();
}

HFONT TFont::Handle() const {
    if (!FHandle.Valid()) {
        LOGFONTW font{};
        font.lfHeight = FHeight;
        font.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        font.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        font.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        font.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        font.lfCharSet = FCharset;
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = DEFAULT_QUALITY;
        font.lfPitchAndFamily = DEFAULT_PITCH;
        const size_t length = std::min<size_t>(FName.size(), LF_FACESIZE - 1);
        std::copy_n(W(FName), length, font.lfFaceName);
        FHandle.Reset(::CreateFontIndirectW(&font));
    }
    return FHandle.Get();
}

void TFont::Changed() {
    FHandle.Reset();
    if (OnChange) OnChange();
}
