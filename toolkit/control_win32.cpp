#include "toolkit/control_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/application_win32.h"
#include "toolkit/dib_section_win32.h"
#include "toolkit/errors.h"
#include "toolkit/finally.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_text.h"
#include "toolkit/placement.h"
#include "toolkit/system_text.h"

namespace {

const wchar_t kControlProperty[] = L"KelvoControl";
const char16_t kCannotCreateWindow[] = u"Error creating window: %s";
const char16_t kCannotRegisterClass[] = u"Error creating window class: %s";

bool Intersects(const RECT& a, const RECT& b) {
    RECT common;
    return ::IntersectRect(&common, &a, &b) != 0;
}

}  // namespace

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
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetCaption(const UString& caption) {
    if (caption == FCaption) return;
    FCaption = caption;
    TextChanged();
}

void TControl::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    FParentColor = false;
    Invalidate();
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == FParentFont) return;
    FParentFont = parentFont;
    if (parentFont) ParentFontChanged();
}

void TControl::SetParentColor(bool parentColor) {
    if (parentColor == FParentColor) return;
    FParentColor = parentColor;
    if (parentColor) ParentColorChanged();
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

// ---- TWinControl ----------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    Destroying();
    DestroyHandle();
    for (TControl* control : FControls) control->FParent = nullptr;
    FControls.clear();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (Parent()) Parent()->HandleNeeded();
    if (!FHandle) CreateWnd();
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    return static_cast<TWinControl*>(::GetPropW(wnd, kControlProperty));
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Caption();
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() ? Parent()->Handle() : nullptr;
    params.WinClassName = ClassName();
}

void TWinControl::RegisterWindowClass(const TCreateParams& params) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW system{};
    system.cbSize = sizeof system;
    if (!params.SystemClassName.empty()) {
        if (!::GetClassInfoExW(nullptr, W(params.SystemClassName), &system))
            throw EOSError(Format(kCannotRegisterClass, {SystemErrorText(::GetLastError())}));
        FDefWndProc = system.lpfnWndProc;
    } else {
        FDefWndProc = ::DefWindowProcW;
    }
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, W(params.WinClassName), &existing)) return;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!params.SystemClassName.empty()) {
        windowClass = system;
        windowClass.style = (system.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) |
                            CS_HREDRAW | CS_VREDRAW;
    } else {
        windowClass.style = params.ClassStyle;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    }
    windowClass.lpfnWndProc = StaticWndProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = W(params.WinClassName);
    if (!::RegisterClassExW(&windowClass))
        throw EOSError(Format(kCannotRegisterClass, {SystemErrorText(::GetLastError())}));
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    RegisterWindowClass(params);
    HMENU id = nullptr;
    if (params.Style & WS_CHILD) {
        // Child ids start above IDOK and IDCANCEL so that no dialog key reaches them by id.
        const auto& siblings = Parent()->Controls();
        const auto position = std::find(siblings.begin(), siblings.end(), this) - siblings.begin();
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + position));
    }
    FCreatingHandle = true;
    HWND wnd = nullptr;
    TryFinally(
        [&] {
            wnd = ::CreateWindowExW(params.ExStyle, W(params.WinClassName), W(params.Caption), params.Style,
                                    params.X, params.Y, params.Width, params.Height, params.WndParent, id,
                                    ::GetModuleHandleW(nullptr), this);
        },
        [&] { FCreatingHandle = false; });
    if (!wnd) throw EOSError(Format(kCannotCreateWindow, {SystemErrorText(::GetLastError())}));
    CreateHandleDone();
    CreateChildHandles();
}

void TWinControl::CreateHandleDone() {
    ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::CreateChildHandles() {
    for (TControl* control : FControls)
        if (auto* child = dynamic_cast<TWinControl*>(control)) child->HandleNeeded();
}

void TWinControl::DestroyHandle() {
    if (FHandle) DestroyWnd();
}

void TWinControl::DestroyWnd() { ::DestroyWindow(FHandle); }

void TWinControl::SetTabOrder(int tabOrder) {
    if (tabOrder == FTabOrder) return;
    FTabOrder = tabOrder;
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == FTabStop) return;
    FTabStop = tabStop;
    UpdateWindowStyle(WS_TABSTOP, tabStop);
}

void TWinControl::UpdateWindowStyle(DWORD bit, bool on) {
    if (!FHandle) return;
    LONG_PTR style = ::GetWindowLongPtrW(FHandle, GWL_STYLE);
    style = on ? (style | LONG_PTR(bit)) : (style & ~LONG_PTR(bit));
    ::SetWindowLongPtrW(FHandle, GWL_STYLE, style);
}

void TWinControl::InsertControl(TControl* control) {
    FControls.push_back(control);
    control->FParent = this;
    if (auto* child = dynamic_cast<TWinControl*>(control)) {
        if (child->FTabOrder < 0) {
            const auto windowed = std::count_if(FControls.begin(), FControls.end(), [](TControl* c) {
                return dynamic_cast<TWinControl*>(c) != nullptr;
            });
            child->FTabOrder = int(windowed - 1);
        }
    }
    control->ParentFontChanged();
    control->ParentColorChanged();
    if (auto* child = dynamic_cast<TWinControl*>(control); child && FHandle && !InState(csLoading))
        child->HandleNeeded();
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    auto found = std::find(FControls.begin(), FControls.end(), control);
    if (found == FControls.end()) return;
    control->Invalidate();
    FControls.erase(found);
    control->FParent = nullptr;
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> list;
    for (TControl* control : FControls)
        if (auto* child = dynamic_cast<TWinControl*>(control)) list.push_back(child);
    std::stable_sort(list.begin(), list.end(),
                     [](TWinControl* a, TWinControl* b) { return a->FTabOrder < b->FTabOrder; });
    return list;
}

bool TWinControl::Focused() const { return FHandle && ::GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
    if (!FHandle) return false;
    for (const TControl* control = this; control; control = control->Parent())
        if (!control->Visible() || !control->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

bool TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    std::vector<TWinControl*> list = TabList();
    if (list.empty()) return false;
    if (!forward) std::reverse(list.begin(), list.end());
    auto start = std::find(list.begin(), list.end(), current);
    const size_t count = list.size();
    size_t index = start == list.end() ? count - 1 : size_t(start - list.begin());
    for (size_t step = 0; step < count; ++step) {
        index = (index + 1) % count;
        TWinControl* candidate = list[index];
        if (candidate == current) break;
        if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop())) {
            candidate->SetFocus();
            return true;
        }
    }
    return false;
}

bool TWinControl::Showing() const { return FHandle && ::IsWindowVisible(FHandle); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FHandle)
        ::SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::UpdateShowing() {
    if (!FHandle) return;
    ::ShowWindow(FHandle, Visible() ? SW_SHOWNA : SW_HIDE);
    Perform(CM_SHOWINGCHANGED, 0, 0);
}

void TWinControl::FontChanged() {
    if (FHandle) ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    for (TControl* control : FControls) control->ParentFontChanged();
    Perform(CM_FONTCHANGED, 0, 0);
}

void TWinControl::TextChanged() {
    if (FHandle) ::SetWindowTextW(FHandle, W(Caption()));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TWinControl::Invalidate() {
    if (FHandle) ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
    if (FHandle) ::UpdateWindow(FHandle);
}

bool TWinControl::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    if (property.Name == u"TabOrder") SetTabOrder(TFormReader::Integer(property));
    else if (property.Name == u"TabStop") SetTabStop(TFormReader::Boolean(property));
    else return TControl::ReadProperty(property, reader);
    return true;
}

void TWinControl::ScaleBy(int multiplier, int divider) {
    TControl::ScaleBy(multiplier, divider);
    for (TControl* control : FControls) control->ScaleBy(multiplier, divider);
}

bool TWinControl::ForwardToChild(TMessage& message) {
    HWND child = nullptr;
    switch (message.Msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(message.LParam);
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam)->hwndItem;
        break;
    default:
        return false;
    }
    TWinControl* control = FromHandle(child);
    if (!control || control == this) return false;
    message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& message) {
    const bool ownPainting = FDefWndProc == ::DefWindowProcW;
    switch (message.Msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_DRAWITEM:
        if (!ForwardToChild(message)) DefaultHandler(message);
        return;
    case WM_PAINT:
        if (ownPainting) return WMPaint(message);
        break;
    case WM_PRINTCLIENT:
        if (ownPainting) return WMPrintClient(message);
        break;
    case WM_ERASEBKGND:
        if (ownPainting) {
            message.Result = 1;  // PaintContent fills the background itself
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
        if (pos && !(pos->flags & SWP_NOMOVE)) { FLeft = pos->x; FTop = pos->y; }
        if (pos && !(pos->flags & SWP_NOSIZE)) { FWidth = pos->cx; FHeight = pos->cy; }
        DefaultHandler(message);
        return;
    }
    case WM_NCDESTROY:
        DefaultHandler(message);
        ::RemovePropW(FHandle, kControlProperty);
        FHandle = nullptr;
        return;
    case CM_VISIBLECHANGED:
        UpdateShowing();
        return;
    case CM_ENABLEDCHANGED:
        if (FHandle) ::EnableWindow(FHandle, Enabled());
        return;
    default:
        break;
    }
    TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!FHandle) {
        message.Result = 0;
        return;
    }
    message.Result = ::CallWindowProcW(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WMPaint(TMessage& message) {
    TPaintDC paint(FHandle);
    PaintContent(paint.Get(), paint.Area());
    message.Result = 0;
}

void TWinControl::WMPrintClient(TMessage& message) {
    RECT area;
    ::GetClientRect(FHandle, &area);
    RECT clip;
    const HDC dc = reinterpret_cast<HDC>(message.WParam);
    const int kind = ::GetClipBox(dc, &clip);
    if (kind != ERROR && kind != NULLREGION) ::IntersectRect(&area, &area, &clip);
    PaintContent(dc, area);
    message.Result = 0;
}

void TWinControl::PaintContent(HDC dc, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    // Everything is drawn into a 32-bit buffer of the area first, so controls that
    // read back what lies beneath them read exactly what this pass painted.
    const TDibSection buffer(dc, width, height);
    if (!buffer.Valid()) throw EOutOfResources(u"Out of system resources");
    const HDC memory = buffer.DC();
    ::SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
    TUniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(Color())));
    ::FillRect(memory, &area, static_cast<HBRUSH>(brush.Get()));
    PaintControls(memory, area);
    ::SetViewportOrgEx(memory, 0, 0, nullptr);
    ::BitBlt(dc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
}

void TWinControl::PaintControls(HDC dc, const RECT& area) {
    for (TControl* control : FControls) {
        if (dynamic_cast<TWinControl*>(control) || !control->Visible()) continue;
        if (!Intersects(control->BoundsRect(), area)) continue;
        const int saved = ::SaveDC(dc);
        TryFinally(
            [&] {
                ::OffsetViewportOrgEx(dc, control->Left(), control->Top(), nullptr);
                ::IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
                control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
            },
            [&] { ::RestoreDC(dc, saved); });
    }
}

HWND TWinControl::ParentHandle() { return Parent() ? Parent()->Handle() : nullptr; }

LRESULT CALLBACK TWinControl::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->FHandle = wnd;
        ::SetPropW(wnd, kControlProperty, self);
    }
    TWinControl* self = FromHandle(wnd);
    if (!self) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        self->WndProc(message);
    } catch (...) {
        // Exceptions never unwind through the system's frames: they are shown here.
        HandleEventException();
    }
    return message.Result;
}
