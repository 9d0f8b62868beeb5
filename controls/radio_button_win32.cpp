#include "controls/radio_button_win32.h"

#include <algorithm>

#include "base/change_value.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_text.h"
#include "toolkit/theme_library_win32.h"

namespace {

// Skin command sub-commands the skin engine answers for the control itself.
constexpr WORD scRefresh = 1, scUpdateSkin = 2, scRemoveSkin = 3, scGetSkinIndex = 7, scSetFocus = 16,
               scMouseEnterLeave = 60;

constexpr int kGlyphWidth = 20;
constexpr int kMinimumHeight = 20;
constexpr int kCaptionPadding = 4;

}  // namespace

TSize RadioAutoSize(TSize caption) {
    return {caption.Width + kGlyphWidth, std::max(caption.Height + kCaptionPadding, kMinimumHeight)};
}

// ---- TButtonControl ---------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}

void TButtonControl::WndProc(TMessage& message) {
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
        // The system button announces a click when it gains the focus; the
        // focus a press brings must not check the control (the release does).
        if (!Focused()) {
            FClicksDisabled = true;
            ::SetFocus(Handle());
            FClicksDisabled = false;
            if (!Focused()) return;
        }
    }
    TWinControl::WndProc(message);
}

// ---- TRadioButton -----------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.SystemClassName = u"BUTTON";
    // The non-automatic style: the system never checks the button by itself.
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | BS_RADIOBUTTON;
    if (FWordWrap) params.Style |= BS_MULTILINE;
    if (ControlsAlignment() == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateHandleDone() {
    TButtonControl::CreateHandleDone();
    ::SendMessageW(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::RecreateWnd() {
    if (!HandleAllocated()) return;
    DestroyHandle();
    HandleNeeded();
}

void TRadioButton::SetAlignment(TAlignment alignment) {
    if (ChangeValue(FAlignment, alignment)) RecreateWnd();
}

void TRadioButton::SetWordWrap(bool wordWrap) {
    if (ChangeValue(FWordWrap, wordWrap)) RecreateWnd();
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == FChecked) return;
    FChecked = checked;
    SetTabStop(checked);
    if (HandleAllocated()) ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!checked) return;
    TurnSiblingsOff();
    if (!FClicksDisabled) Click();
}

// TurnSiblingsOff unchecks the other radio buttons of the same parent, in the
// parent's order; radio buttons on other parents form groups of their own.
void TRadioButton::TurnSiblingsOff() {
    if (!Parent()) return;
    const std::vector<TControl*> siblings = Parent()->Controls();
    for (TControl* sibling : siblings)
        if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this) radio->SetChecked(false);
}

void TRadioButton::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        message.Result = 0;
        if (FClicksDisabled) return;
        switch (HIWORD(message.WParam)) {
        case BN_CLICKED: SetChecked(true); break;
        case BN_DOUBLECLICKED: if (OnDblClick) OnDblClick(this); break;
        default: break;
        }
        return;
    }
    TButtonControl::WndProc(message);
}

bool TRadioButton::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    const UString& name = property.Name;
    if (name == u"Checked") SetChecked(TFormReader::Boolean(property));
    else if (name == u"Alignment")
        SetAlignment(TFormReader::Enum<TAlignment>(
            property, {{u"taLeftJustify", taLeftJustify}, {u"taRightJustify", taRightJustify}}));
    else if (name == u"WordWrap") SetWordWrap(TFormReader::Boolean(property));
    else if (name == u"OnDblClick") OnDblClick = reader.NotifyEvent(property);
    else return TButtonControl::ReadProperty(property, reader);
    return true;
}

// ---- TsRadioButton ----------------------------------------------------------

TsRadioButton::TsRadioButton(TComponent* owner) : TRadioButton(owner), FCommonData(this, false) {
    FCommonData.COC = kRadioButtonCode;
    SetAutoSize(true);
    FCommonData.Loaded();
}

void TsRadioButton::SetChecked(bool checked) {
    const bool before = Checked();
    TRadioButton::SetChecked(checked);
    if (OnValueChanged && Checked() != before) OnValueChanged(this);
}

void TsRadioButton::SetAutoSize(bool autoSize) {
    if (ChangeValue(FAutoSize, autoSize)) AdjustSize();
}

void TsRadioButton::SetMargin(int margin) {
    if (ChangeValue(FMargin, margin)) CaptionPlaceChanged();
}

void TsRadioButton::SetTextIndent(int indent) {
    if (ChangeValue(FTextIndent, indent)) CaptionPlaceChanged();
}

void TsRadioButton::CaptionPlaceChanged() {
    AdjustSize();
    Invalidate();
}

void TsRadioButton::SetShowFocus(bool showFocus) {
    if (ChangeValue(FShowFocus, showFocus)) Invalidate();
}

void TsRadioButton::SetDisabledKind(TsDisabledKind kind) {
    if (ChangeValue(FDisabledKind, kind)) FCommonData.Invalidate(false);
}

void TsRadioButton::SetVerticalAlign(TvaAlign align) {
    if (ChangeValue(FVerticalAlign, align)) Repaint();
}

TSize TsRadioButton::CaptionExtent() {
    const TWindowDC screen(nullptr);
    const TSelectedObject font(screen.Get(), Font().Handle());
    if (WordWrap()) {
        RECT area{0, 0, 0x7FFFFFFF, 0};
        ::DrawTextW(screen.Get(), W(Caption()), -1, &area, DT_WORDBREAK | DT_CALCRECT);
        return {area.right - area.left, area.bottom - area.top};
    }
    SIZE size{};
    if (!::GetTextExtentPoint32W(screen.Get(), W(Caption()), static_cast<int>(Caption().size()), &size))
        return {0, 0};
    return {size.cx, size.cy};
}

void TsRadioButton::AdjustSize() {
    if (FAutoSize) SetBounds(Left(), Top(), Width(), Height());
}

void TsRadioButton::SetBounds(int left, int top, int width, int height) {
    if (FAutoSize) {
        const TSize size = RadioAutoSize(CaptionExtent());
        width = size.Width;
        height = size.Height;
    }
    TRadioButton::SetBounds(left, top, width, height);
}

void TsRadioButton::Loaded() {
    TRadioButton::Loaded();
    FCommonData.Loaded();
    AdjustSize();
}

// HandledBySkinEngine: sub-commands the skin engine answers for the control
// end here; no skin manager exists, so nothing is drawn for them.
bool TsRadioButton::HandledBySkinEngine(const TMessage& message) {
    if (message.Msg != SM_SKINCOMMAND) return false;
    switch (HIWORD(message.WParam)) {
    case scRefresh: case scUpdateSkin: case scRemoveSkin:
        return message.LParam == reinterpret_cast<LPARAM>(FCommonData.SkinManager());
    case scGetSkinIndex: case scSetFocus: case scMouseEnterLeave:
        return true;
    default:
        return false;
    }
}

// UnskinnedHandling runs before the base handling; it answers true when the
// message is done with.
bool TsRadioButton::UnskinnedHandling(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN: case WM_KEYDOWN:
        FPressed = true;
        return false;
    case WM_LBUTTONUP: case WM_KEYUP:
        FPressed = false;
        return false;
    case BM_SETCHECK: case BM_SETSTATE:
        // A read-only button never shows itself pushed, so its release reports no click.
        if (!(FPressed && FReadOnly)) return false;
        message.Result = 0;
        return true;
    case WM_LBUTTONDBLCLK:
        if (!FReadOnly) return false;
        message.Result = 0;
        return true;
    case CM_FONTCHANGED: case CM_TEXTCHANGED:
        AdjustSize();
        return false;
    case CN_CTLCOLORSTATIC: case CN_CTLCOLORBTN:
        ColorQuery(message);
        return true;
    case WM_ERASEBKGND:
        EraseBackground(message);
        return true;
    default:
        return false;
    }
}

// ColorQuery answers the system button's colour query: while visual styles
// are on the parent's picture shows through around the glyph.
void TsRadioButton::ColorQuery(TMessage& message) {
    const HDC dc = reinterpret_cast<HDC>(message.WParam);
    if (VisualStylesActive()) {
        ThemeLibrary().DrawThemeParentBackground(Handle(), dc, nullptr);
        message.Result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return;
    }
    ::SetTextColor(dc, ColorToRGB(Font().Color()));
    ::SetBkColor(dc, ColorToRGB(Color()));
    if (!FBrush.Valid() || FBrushColor != Color()) {
        FBrush.Reset(::CreateSolidBrush(ColorToRGB(Color())));
        FBrushColor = Color();
    }
    message.Result = reinterpret_cast<LRESULT>(FBrush.Get());
}

void TsRadioButton::EraseBackground(TMessage& message) {
    message.Result = 1;
    if (VisualStylesActive()) return;
    RECT area;
    ::GetClientRect(Handle(), &area);
    TUniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(Color())));
    ::FillRect(reinterpret_cast<HDC>(message.WParam), &area, static_cast<HBRUSH>(brush.Get()));
}

void TsRadioButton::WndProc(TMessage& message) {
    if (HandledBySkinEngine(message)) {
        message.Result = 0;
        return;
    }
    if (!ControlIsReady(this)) {
        TRadioButton::WndProc(message);
        return;
    }
    SkinDataHook(message, FCommonData);
    if (UnskinnedHandling(message)) return;
    TRadioButton::WndProc(message);
}

bool TsRadioButton::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    if (ReadSkinDataProperty(FCommonData, property, reader)) return true;
    const UString& name = property.Name;
    if (name == u"AutoSize") {
        SetAutoSize(TFormReader::Boolean(property));
    } else if (name == u"ReadOnly") {
        SetReadOnly(TFormReader::Boolean(property));
    } else if (name == u"Margin") {
        SetMargin(TFormReader::Integer(property));
    } else if (name == u"TextIndent") {
        SetTextIndent(TFormReader::Integer(property));
    } else if (name == u"ShowFocus") {
        SetShowFocus(TFormReader::Boolean(property));
    } else if (name == u"VerticalAlign") {
        SetVerticalAlign(
            TFormReader::Enum<TvaAlign>(property, {{u"vaTop", vaTop}, {u"vaMiddle", vaMiddle}, {u"vaBottom", vaBottom}}));
    } else if (name == u"OnValueChanged") {
        OnValueChanged = reader.NotifyEvent(property);
    } else {
        return TRadioButton::ReadProperty(property, reader);
    }
    return true;
}
