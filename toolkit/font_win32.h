// Colours and fonts of the windows and their controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/text.h"
#include "base/win32_handles.h"

// TColor is an RGB value (0x00BBGGRR) or, with the top byte 0xFF, a system
// colour index that is looked up whenever the colour is used.
using TColor = int32_t;
constexpr TColor SystemColor(int index) { return TColor(0xFF000000u | uint32_t(index)); }
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

// ColorToRGB resolves a system colour to its current RGB value.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

// TFont describes a font and creates its GDI handle on first use. Heights are
// in pixels: negative for the character height, positive for the cell height.
class TFont {
public:
    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const UString& Name() const { return FName; }
    int Height() const { return FHeight; }
    TColor Color() const { return FColor; }
    uint8_t Charset() const { return FCharset; }
    TFontStyles Style() const { return FStyle; }
    void SetName(const UString& name);
    void SetHeight(int height);
    void SetColor(TColor color);
    void SetCharset(uint8_t charset);
    void SetStyle(TFontStyles style);
    // Assign copies every attribute of another font.
    void Assign(const TFont& source);

    // Handle is the GDI font; it stays valid until an attribute changes.
    HFONT Handle() const;

    // OnChange runs after any attribute has changed.
    std::function<void()> OnChange;

private:
    void Changed();

    UString FName = u"Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    uint8_t FCharset = DEFAULT_CHARSET;
    TFontStyles FStyle = 0;
    mutable TUniqueFont FHandle;
};
