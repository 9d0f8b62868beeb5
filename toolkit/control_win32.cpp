// TControl, the base of every control, and TGraphicControl, a control painted
// by its parent. Windowed controls are in win_control_win32.cpp.
#include "toolkit/control_win32.h"

#include <windowsx.h>

#include "base/change_value.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/placement.h"

TShiftState ShiftStateFromKeys(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// ---- TControl -------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
    FFont.OnChange = [this] {
        FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    Destroying();
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);  // sets FParent
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Invalidate();
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
}

void TControl::SetVisible(bool visible) {
    if (visible == FVisible) return;
    VisibleChanging();
    FVisible = visible;
    Perform(CM_VISIBLECHANGED, visible, 0);
}

void TControl::SetEnabled(bool enabled) {
    if (ChangeValue(FEnabled, enabled)) Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetCaption(const UString& caption) {
    if (ChangeValue(FCaption, caption)) TextChanged();
}

void TControl::SetColor(TColor color) {
    if (!ChangeValue(FColor, color)) return;
    FParentColor = false;
    Invalidate();
}

void TControl::SetParentFont(bool parentFont) {
    if (ChangeValue(FParentFont, parentFont) && parentFont) ParentFontChanged();
}

void TControl::SetParentColor(bool parentColor) {
    if (ChangeValue(FParentColor, parentColor) && parentColor) ParentColorChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FFont.Assign(FParent->Font());
    FParentFont = true;  // the assignment above is not a font of our own
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    FColor = FParent->Color();
    Invalidate();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        DispatchMouse(message);
        return;
    case CM_VISIBLECHANGED:
        InvalidateControl(true, FVisible && (FControlStyle & csOpaque));
        return;
    case CM_ENABLEDCHANGED:
        Invalidate();
        return;
    default:
        DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage& message) { message.Result = 0; }

// DispatchMouse lets the system handle a button message first, then raises
// OnMouseDown or OnMouseUp with the button, the keys and the position.
void TControl::DispatchMouse(TMessage& message) {
    DefaultHandler(message);
    TShiftState shift = ShiftStateFromKeys(message.WParam);
    const int x = GET_X_LPARAM(message.LParam);
    const int y = GET_Y_LPARAM(message.LParam);
    switch (message.Msg) {
    case WM_LBUTTONDBLCLK: shift |= ssDouble; MouseDown(mbLeft, shift, x, y); break;
    case WM_RBUTTONDBLCLK: shift |= ssDouble; MouseDown(mbRight, shift, x, y); break;
    case WM_MBUTTONDBLCLK: shift |= ssDouble; MouseDown(mbMiddle, shift, x, y); break;
    case WM_LBUTTONDOWN: MouseDown(mbLeft, shift, x, y); break;
    case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); break;
    case WM_LBUTTONUP: MouseUp(mbLeft, shift, x, y); break;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
    default: break;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::FontChanged() { Invalidate(); }

void TControl::TextChanged() { Invalidate(); }

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !FParent || !FParent->HandleAllocated() || InState(csDestroying)) return;
    const RECT bounds = BoundsRect();
    ::InvalidateRect(FParent->Handle(), &bounds, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, (FControlStyle & csOpaque) != 0); }

void TControl::Update() {
    if (FParent && FParent->HandleAllocated()) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

bool TControl::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    const UString& name = property.Name;
    if (name == u"Left") SetLeft(TFormReader::Integer(property));
    else if (name == u"Top") SetTop(TFormReader::Integer(property));
    else if (name == u"Width") SetWidth(TFormReader::Integer(property));
    else if (name == u"Height") SetHeight(TFormReader::Integer(property));
    else if (name == u"Visible") SetVisible(TFormReader::Boolean(property));
    else if (name == u"Enabled") SetEnabled(TFormReader::Boolean(property));
    else if (name == u"Caption") SetCaption(TFormReader::String(property));
    else if (name == u"Color") SetColor(TFormReader::Color(property));
    else if (name == u"ParentColor") SetParentColor(TFormReader::Boolean(property));
    else if (name == u"ParentFont") SetParentFont(TFormReader::Boolean(property));
    else if (name.rfind(u"Font.", 0) == 0) TFormReader::ReadFont(FFont, property);
    else if (name == u"OnClick") OnClick = reader.NotifyEvent(property);
    else if (name == u"OnMouseDown") OnMouseDown = reader.MouseEvent(property);
    else if (name == u"OnMouseUp") OnMouseUp = reader.MouseEvent(property);
    else return false;
    return true;
}

void TControl::ScaleBy(int multiplier, int divider) {
    const int left = ScaleSize(FLeft, multiplier, divider);
    const int top = ScaleSize(FTop, multiplier, divider);
    SetBounds(left, top, ScaleSize(FWidth, multiplier, divider), ScaleSize(FHeight, multiplier, divider));
    if (!FParentFont) FFont.SetHeight(ScaleSize(FFont.Height(), multiplier, divider));
}

// ---- TGraphicControl ------------------------------------------------------

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        Paint(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return;
    }
    TControl::WndProc(message);
}

void TGraphicControl::Paint(HDC) {}
