// The option controls of the windows:
//   TButtonControl - a control on the system "BUTTON" class; a mouse press
//                    first takes the focus, without letting the focus change
//                    count as a click;
//   TRadioButton   - the plain radio button: the check change with its
//                    siblings, BN_CLICKED and BN_DOUBLECLICKED;
//   TsRadioButton  - the skinnable radio button. No skin is ever active here,
//                    so it runs unskinned: a system radio button with the
//                    press, read-only and auto-size rules, drawn over its
//                    parent's picture while visual styles are on.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/geometry.h"
#include "controls/skin_data_win32.h"
#include "toolkit/control_win32.h"
#include "base/win32_handles.h"

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TvaAlign : uint8_t { vaTop, vaMiddle, vaBottom };
enum TsDisabledKindFlag : uint8_t { dkBlended = 1, dkGrayed = 2 };
using TsDisabledKind = uint8_t;
enum TsAnimatEventFlag : uint8_t {
    aeMouseEnter = 1, aeMouseLeave = 2, aeMouseDown = 4, aeMouseUp = 8, aeGlobalDef = 16,
};
using TsAnimatEvents = uint8_t;

// RadioAutoSize is the unskinned radio button's size for a caption extent:
// the glyph takes 20 pixels beside the text, and the height never drops below 20.
TSize RadioAutoSize(TSize caption);

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);
    void WndProc(TMessage& message) override;

protected:
    // While set, check changes fire no click and BN_CLICKED is dropped.
    bool FClicksDisabled = false;
};

class TRadioButton : public TButtonControl {
public:
    static constexpr char16_t kClassName[] = u"TRadioButton";
    explicit TRadioButton(TComponent* owner);
    UString ClassName() const override { return kClassName; }

    bool Checked() const { return FChecked; }
    virtual void SetChecked(bool checked);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    // ControlsAlignment is the caption side; this program reads left to right.
    virtual TAlignment ControlsAlignment() const { return FAlignment; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    TNotifyEvent OnDblClick;

    void WndProc(TMessage& message) override;
    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void RecreateWnd();

private:
    void TurnSiblingsOff();

    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
    bool FWordWrap = false;
};

class TsRadioButton : public TRadioButton {
public:
    static constexpr char16_t kClassName[] = u"TsRadioButton";
    explicit TsRadioButton(TComponent* owner);
    UString ClassName() const override { return kClassName; }

    TsCommonData& SkinData() { return FCommonData; }
    void SetChecked(bool checked) override;
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    // Pressed: a mouse or key press on the control is in progress.
    bool Pressed() const { return FPressed; }
    int Margin() const { return FMargin; }
    void SetMargin(int margin);
    int TextIndent() const { return FTextIndent; }
    void SetTextIndent(int indent);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool showFocus);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind kind);
    TvaAlign VerticalAlign() const { return FVerticalAlign; }
    void SetVerticalAlign(TvaAlign align);
    TsAnimatEvents AnimatEvents() const { return FAnimatEvents; }

    TNotifyEvent OnValueChanged;

    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& message) override;
    void Loaded() override;
    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;
    // CaptionExtent measures the caption in the control's font on the screen.
    TSize CaptionExtent();

private:
    bool HandledBySkinEngine(const TMessage& message);
    bool UnskinnedHandling(TMessage& message);
    void ColorQuery(TMessage& message);
    void EraseBackground(TMessage& message);
    // AdjustSize re-applies the current size, which the auto size replaces.
    void AdjustSize();
    // CaptionPlaceChanged resizes and redraws after the margin or indent changed.
    void CaptionPlaceChanged();

    TsCommonData FCommonData;
    TsDisabledKind FDisabledKind = dkBlended;
    int FTextIndent = 0;
    bool FShowFocus = true;
    int FMargin = 2;
    TsAnimatEvents FAnimatEvents = aeGlobalDef;
    TvaAlign FVerticalAlign = vaMiddle;
    bool FPressed = false;
    bool FReadOnly = false;
    bool FAutoSize = false;
    TUniqueGdiObject FBrush;  // the colour answered to the button when unthemed
    TColor FBrushColor = 0;
};
