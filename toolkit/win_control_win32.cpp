// TWinControl: a control with a window of its own. Creating and destroying
// its window, the window class, the tab order and the focus. Its messages and
// painting are in win_control_dispatch_win32.cpp.
#include <algorithm>

#include "toolkit/control_win32.h"
#include "base/base_texts.h"
#include "base/finally.h"
#include "toolkit/form_reader_win32.h"
#include "base/system_text.h"
#include "toolkit/toolkit_texts.h"

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

HWND TWinControl::ParentHandle() { return Parent() ? Parent()->Handle() : nullptr; }
