// TWinControl's message dispatch: the window procedure every control window
// shares, the forwarding of notifications to the child they concern, and the
// painting of a window with its graphic controls through one off-screen buffer.
#include "toolkit/application_win32.h"
#include "toolkit/control_win32.h"
#include "toolkit/dib_section_win32.h"
#include "toolkit/toolkit_texts.h"
#include "base/finally.h"

namespace {

// The property that links a window to its TWinControl.
const wchar_t kControlProperty[] = L"KelvoControl";

bool Intersects(const RECT& a, const RECT& b) {
    RECT common;
    return ::IntersectRect(&common, &a, &b) != 0;
}

}  // namespace

TWinControl* TWinControl::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    return static_cast<TWinControl*>(::GetPropW(wnd, kControlProperty));
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
    switch (message.Msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_DRAWITEM:
        if (!ForwardToChild(message)) DefaultHandler(message);
        return;
    case WM_PAINT:
        if (PaintsItself()) return WMPaint(message);
        break;
    case WM_PRINTCLIENT:
        if (PaintsItself()) return WMPrintClient(message);
        break;
    case WM_ERASEBKGND:
        if (PaintsItself()) return WMEraseBkgnd(message);
        break;
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(message);
    case WM_NCDESTROY: return WMNCDestroy(message);
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

// PaintsItself: a window of our own class paints itself; a system control
// (a button) paints through its own procedure.
bool TWinControl::PaintsItself() const { return FDefWndProc == ::DefWindowProcW; }

void TWinControl::WMEraseBkgnd(TMessage& message) {
    message.Result = 1;  // PaintContent fills the background itself
}

// WMWindowPosChanged keeps the bounds in step with moves and sizes from outside.
void TWinControl::WMWindowPosChanged(TMessage& message) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
    if (pos && !(pos->flags & SWP_NOMOVE)) { FLeft = pos->x; FTop = pos->y; }
    if (pos && !(pos->flags & SWP_NOSIZE)) { FWidth = pos->cx; FHeight = pos->cy; }
    DefaultHandler(message);
}

void TWinControl::WMNCDestroy(TMessage& message) {
    DefaultHandler(message);
    ::RemovePropW(FHandle, kControlProperty);
    FHandle = nullptr;
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
    if (!buffer.Valid()) throw EOutOfResources(UString(kOutOfResources));
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
