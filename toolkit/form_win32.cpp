#include "toolkit/form_win32.h"

#include <vector>

#include "base/change_value.h"
#include "toolkit/application_win32.h"
#include "toolkit/icon_file.h"
#include "base/base_texts.h"
#include "toolkit/placement.h"
#include "toolkit/toolkit_texts.h"

namespace {

// IconImage makes an icon of the file's image closest to size.
HICON IconImage(const std::vector<uint8_t>& file, int size) {
    const TIconDirectoryEntry image = IconImageFor(file, size);
    HICON icon = ::CreateIconFromResourceEx(const_cast<PBYTE>(file.data() + image.Offset), image.Length, TRUE,
                                            0x00030000, size, size, LR_DEFAULTCOLOR);
    if (!icon) throw EReadError(UString(kCannotReadIcon));
    return icon;
}

int ScreenPixelsPerInch() {
    TWindowDC screen(nullptr);
    return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
    SetColor(clBtnFace);
}

TForm::~TForm() {
    Destroying();
    DestroyHandle();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (ChangeValue(FFormStyle, style) && HandleAllocated()) SetTopMost(style == fsStayOnTop);
}

void TForm::SetClientSize(int width, int height) {
    FClientWidth = width;
    FClientHeight = height;
    if (!HandleAllocated()) return;
    RECT window, client;
    ::GetWindowRect(Handle(), &window);
    ::GetClientRect(Handle(), &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    ::SetWindowPos(Handle(), nullptr, 0, 0, width + frameWidth, height + frameHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle = 0;
    switch (FBorderStyle) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle: params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow: params.Style |= WS_CAPTION | WS_BORDER; params.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: params.Style |= WS_CAPTION | WS_THICKFRAME; params.ExStyle |= WS_EX_TOOLWINDOW; break;
    }
    if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) params.Style |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
        if (FBorderIcons & biMinimize) params.Style |= WS_MINIMIZEBOX;
        if (FBorderIcons & biMaximize) params.Style |= WS_MAXIMIZEBOX;
    }
    if (FFormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    RECT outer{0, 0, FClientWidth, FClientHeight};
    ::AdjustWindowRectEx(&outer, params.Style, FALSE, params.ExStyle);
    params.Width = outer.right - outer.left;
    params.Height = outer.bottom - outer.top;
    params.WndParent = Application ? Application->Handle() : nullptr;
}

void TForm::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    // The frame of the running system may differ from the computed one: make the client size exact.
    SetClientSize(FClientWidth, FClientHeight);
    // A dialog frame shows no icon in its title bar, and the window class has
    // none either, so a dialog is given no icon at all.
    if (FBorderStyle == bsDialog) return;
    HICON big = FIcon.Valid() ? FIcon.Get() : (Application ? Application->Icon() : nullptr);
    HICON small = FSmallIcon.Valid() ? FSmallIcon.Get() : big;
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

bool TForm::IsMainForm() const { return Application && Application->MainForm() == this; }

void TForm::Show() {
    if (Visible() && Showing()) {
        ::SetForegroundWindow(Handle());
        return;
    }
    SetVisible(true);
}

void TForm::Hide() { SetVisible(false); }

void TForm::UpdateShowing() {
    if (InState(csLoading) || InState(csDestroying)) return;
    if (!Visible()) {
        if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
        return;
    }
    HandleNeeded();
    if (!FPositioned) ApplyPosition();
    // OnShow runs before the window is drawn; an error in it is shown, and the
    // window appears all the same.
    try {
        if (OnShow) OnShow(this);
    } catch (...) {
        HandleEventException();
    }
    if (IsMainForm() && Application) Application->MainFormShowing();
    ::ShowWindow(Handle(), Application ? Application->MainFormShowCommand(this) : SW_SHOWNORMAL);
    if (FFormStyle == fsStayOnTop) SetTopMost(!Application || Application->TopMostAllowed());
    ::UpdateWindow(Handle());
}

void TForm::ApplyPosition() {
    FPositioned = true;
    if (FPosition != poDesktopCenter && FPosition != poScreenCenter) return;
    RECT window;
    ::GetWindowRect(Handle(), &window);
    const TSize size{window.right - window.left, window.bottom - window.top};
    TRect desktop{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (FPosition == poDesktopCenter) {
        const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        desktop = {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    const TPoint at = DesktopCenter(desktop, size);
    ::SetWindowPos(Handle(), nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetTopMost(bool topMost) {
    if (!HandleAllocated()) return;
    const bool wanted = topMost && FFormStyle == fsStayOnTop;
    ::SetWindowPos(Handle(), wanted ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::Close() {
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (IsMainForm()) {
        Application->Terminate();
    } else if (action == caHide || action == caFree) {
        Hide();
    } else if (action == caMinimize) {
        ::ShowWindow(Handle(), SW_MINIMIZE);
    }
}

bool TForm::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    return ReadFrameProperty(property) || ReadLayoutProperty(property) || ReadEventProperty(property, reader) ||
           TWinControl::ReadProperty(property, reader);
}

// ReadFrameProperty reads what the window's frame shows: border, border icons,
// stay-on-top, placement and the title bar's icon.
bool TForm::ReadFrameProperty(const TFormProperty& property) {
    const UString& name = property.Name;
    if (name == u"BorderStyle") {
        FBorderStyle = TFormReader::Enum<TFormBorderStyle>(
            property, {{u"bsNone", bsNone}, {u"bsSingle", bsSingle}, {u"bsSizeable", bsSizeable},
                       {u"bsDialog", bsDialog}, {u"bsToolWindow", bsToolWindow}, {u"bsSizeToolWin", bsSizeToolWin}});
    } else if (name == u"BorderIcons") {
        FBorderIcons = TBorderIcons(TFormReader::Set(property, {{u"biSystemMenu", biSystemMenu},
                                                                {u"biMinimize", biMinimize},
                                                                {u"biMaximize", biMaximize},
                                                                {u"biHelp", biHelp}}));
    } else if (name == u"FormStyle") {
        SetFormStyle(TFormReader::Enum<TFormStyle>(
            property, {{u"fsNormal", fsNormal}, {u"fsStayOnTop", fsStayOnTop}}));
    } else if (name == u"Position") {
        FPosition = TFormReader::Enum<TPosition>(
            property, {{u"poDesigned", poDesigned}, {u"poDefault", poDefault}, {u"poScreenCenter", poScreenCenter},
                       {u"poDesktopCenter", poDesktopCenter}});
    } else if (name == u"Icon.Data") {
        const auto& file = TFormReader::Bytes(property);
        FIcon.Reset(IconImage(file, ::GetSystemMetrics(SM_CXICON)));
        FSmallIcon.Reset(IconImage(file, ::GetSystemMetrics(SM_CXSMICON)));
    } else {
        return false;
    }
    return true;
}

// ReadLayoutProperty reads the client size and the resolution it was laid out at.
bool TForm::ReadLayoutProperty(const TFormProperty& property) {
    const UString& name = property.Name;
    if (name == u"ClientWidth") SetClientSize(TFormReader::Integer(property), FClientHeight);
    else if (name == u"ClientHeight") SetClientSize(FClientWidth, TFormReader::Integer(property));
    else if (name == u"Scaled") FScaled = TFormReader::Boolean(property);
    else if (name == u"OldCreateOrder") FOldCreateOrder = TFormReader::Boolean(property);
    else if (name == u"PixelsPerInch") FPixelsPerInch = TFormReader::Integer(property);
    else if (name == u"TextHeight") FTextHeight = TFormReader::Integer(property);
    else return false;
    return true;
}

bool TForm::ReadEventProperty(const TFormProperty& property, TFormReader& reader) {
    const UString& name = property.Name;
    if (name == u"OnShow") OnShow = reader.NotifyEvent(property);
    else if (name == u"OnCreate") OnCreate = reader.NotifyEvent(property);
    else if (name == u"OnClose") OnClose = reader.CloseEvent(property);
    else return false;
    return true;
}

void TForm::Loaded() {
    TWinControl::Loaded();
    if (FScaled) ScaleToScreen(ScreenPixelsPerInch());
    if (OnCreate) OnCreate(this);
    if (Visible()) UpdateShowing();
}

void TForm::ScaleToScreen(int screenPixelsPerInch) {
    if (screenPixelsPerInch == FPixelsPerInch) return;
    ScaleBy(screenPixelsPerInch, FPixelsPerInch);
    FPixelsPerInch = screenPixelsPerInch;
}

void TForm::ScaleBy(int multiplier, int divider) {
    SetClientSize(ScaleSize(FClientWidth, multiplier, divider), ScaleSize(FClientHeight, multiplier, divider));
    Font().SetHeight(ScaleSize(Font().Height(), multiplier, divider));
    for (TControl* control : Controls()) control->ScaleBy(multiplier, divider);
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE: return WMClose(message);
    case WM_ACTIVATE: return WMActivate(message);
    case WM_ACTIVATEAPP: return WMActivateApp(message);
    case WM_SETFOCUS: return WMSetFocus(message);
    default: TWinControl::WndProc(message);
    }
}

void TForm::WMClose(TMessage& message) {
    message.Result = 0;
    Close();
}

// WMActivate remembers which child had the focus when the form loses activation
// and gives it back when the form is activated again.
void TForm::WMActivate(TMessage& message) {
    const bool active = LOWORD(message.WParam) != WA_INACTIVE;
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) FFocusedChild = focus;
    }
    DefaultHandler(message);
    if (active && Application) Application->FormActivated(this);
    message.Result = 0;
}

void TForm::WMSetFocus(TMessage& message) {
    message.Result = 0;
    if (FFocusedChild && ::IsWindow(FFocusedChild) && ::IsChild(Handle(), FFocusedChild) &&
        ::IsWindowEnabled(FFocusedChild) && ::IsWindowVisible(FFocusedChild)) {
        ::SetFocus(FFocusedChild);
        return;
    }
    SelectNext(nullptr, true, true);
}

// WMActivateApp: a stay-on-top window other than the main window steps back
// while another application is active, and comes forward again after.
void TForm::WMActivateApp(TMessage& message) {
    DefaultHandler(message);
    if (IsMainForm() || FFormStyle != fsStayOnTop || !Visible()) return;
    SetTopMost(message.WParam != 0 && (!Application || Application->TopMostAllowed()));
}
