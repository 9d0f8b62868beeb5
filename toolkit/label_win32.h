// TLabel shows one caption on its parent, sized to the text, left aligned.
// Paths are shown literally: "&" is a character, not an accelerator prefix.
#pragma once

#include "toolkit/control_win32.h"

class TLabel : public TGraphicControl {
public:
    static constexpr char16_t kClassName[] = u"TLabel";

    explicit TLabel(TComponent* owner);
    UString ClassName() const override { return kClassName; }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    // Transparent labels draw only their text; opaque ones fill with Color first.
    // The default follows the desktop: transparent while visual styles are active.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    void Loaded() override;
    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;

protected:
    void Paint(HDC dc) override;
    void TextChanged() override;
    void FontChanged() override;

private:
    UINT DrawFlags() const;
    // AdjustBounds sizes the label to its caption when AutoSize is on.
    void AdjustBounds();

    bool FAutoSize = true;
    bool FTransparent = false;
    bool FWordWrap = false;
};
