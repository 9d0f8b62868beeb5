#include "toolkit/application_win32.h"

#include <commctrl.h>
#include <ole2.h>

#include "base/error_text.h"
#include "base/executable_path_win32.h"
#include "base/geometry.h"
#include "base/system_library_win32.h"
#include "toolkit/common_controls_win32.h"
#include "toolkit/message_box_win32.h"
#include "toolkit/modal_scope_win32.h"
#include "toolkit/placement.h"
#include "toolkit/toolkit_texts.h"

TApplication* Application = nullptr;

namespace {

const wchar_t kAppWindowClass[] = L"TApplication";

}  // namespace

UString ApplicationTitle(const UString& modulePath) {
    UString title = ExecutableStem(modulePath);
    // Only the characters after the first are lower-cased: SETUP.EXE gives Setup.
    if (title.size() > 1) ::CharLowerW(const_cast<wchar_t*>(W(title)) + 1);
    return title;
}

void HandleEventException() {
    if (Application) {
        Application->HandleException(std::current_exception());
        return;
    }
    // Without an application object (in tests of single controls) the error is dropped.
}

TApplication::TApplication() : TComponent(nullptr) {
    FOleInitialised = SUCCEEDED(::OleInitialize(nullptr));
    // Load the common controls the manifest asks for, so the system buttons take the visual style.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    using TInitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initialise = LibraryEntry<TInitCommonControlsEx>(CommonControls(), "InitCommonControlsEx");
    if (initialise) initialise(&controls);
    // The title is taken from at most the path's first 256 characters.
    FTitle = ApplicationTitle(ExecutablePath().substr(0, 256));
    FIcon = ::LoadIconW(::GetModuleHandleW(nullptr), L"MAINICON");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW) FStartShowCommand = startup.wShowWindow;
    CreateHandle();
    if (!Application) Application = this;
}

TApplication::~TApplication() {
    Destroying();
    DestroyComponents();  // the forms go before the window that owns them
    if (FHandle) ::DestroyWindow(FHandle);
    if (Application == this) Application = nullptr;
    if (FOleInitialised) ::OleUninitialize();
}

void TApplication::CreateHandle() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!::GetClassInfoExW(instance, kAppWindowClass, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = AppWndProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = FIcon;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kAppWindowClass;
        ::RegisterClassExW(&windowClass);
    }
    // A window without size: it is never seen, but its caption and icon make
    // the program's taskbar entry.
    const TPoint at = CenterIn({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, {0, 0});
    FHandle = ::CreateWindowExW(0, kAppWindowClass, W(FTitle),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, at.X, at.Y, 0,
                                0, nullptr, nullptr, instance, this);
    if (FHandle) {
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon));
        ::SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcon));
    }
}

void TApplication::AddForm(TForm* form) {
    FForms.push_back(form);
    if (!FMainForm) {
        FMainForm = form;
        form->HandleNeeded();
    }
}

void TApplication::MainFormShowing() {
    if (FHandle && !::IsWindowVisible(FHandle))
        ::ShowWindow(FHandle, FStartShowCommand == SW_SHOWMINNOACTIVE ? SW_SHOWMINNOACTIVE : SW_SHOWNA);
}

int TApplication::MainFormShowCommand(const TForm* form) {
    if (form == FMainForm && FStartShowCommand == SW_SHOWMAXIMIZED) return SW_SHOWMAXIMIZED;
    if (form == FMainForm && FStartShowCommand == SW_SHOWMINNOACTIVE) return SW_SHOWMINNOACTIVE;
    return SW_SHOWNORMAL;
}

void TApplication::Run() {
    if (FMainForm) FMainForm->Show();
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ProcessMessage(msg);
    }
    FTerminated = true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            FTerminated = true;
            ::PostQuitMessage(int(msg.wParam));
            return;
        }
        ProcessMessage(msg);
    }
}

void TApplication::ProcessMessage(MSG& msg) {
    try {
        if (IsDialogKey(msg)) return;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

// IsDialogKey moves the focus with Tab and the arrow keys and presses a
// focused push button with Enter; keys a control asks for stay with it.
bool TApplication::IsDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    TWinControl* focused = TWinControl::FromHandle(msg.hwnd);
    if (!focused) return false;
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(::GetAncestor(msg.hwnd, GA_ROOT)));
    if (!form || form == focused) return false;
    const LRESULT code = ::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & DLGC_WANTALLKEYS) return false;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool modifier = ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0;
    switch (msg.wParam) {
    case VK_TAB:
        if ((code & DLGC_WANTTAB) || modifier) return false;
        form->SelectNext(focused, !shift, true);
        return true;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        if (code & DLGC_WANTARROWS) return false;
        if (focused->Parent()) focused->Parent()->SelectNext(focused, msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN, false);
        return true;
    case VK_RETURN:
        if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return false;
        focused->Click();
        return true;
    default:
        return false;
    }
}

void TApplication::Terminate() {
    FTerminated = true;
    ::PostQuitMessage(0);
}

void TApplication::HandleException(std::exception_ptr error) {
    if (HWND capture = ::GetCapture()) ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
    UString text;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& e) {
        text = DisplayText(e);
    } catch (const std::exception& e) {
        text = WithFullStop(FromUtf8(e.what()));
    } catch (...) {
        text = UString(kUnknownError);
    }
    if (OnException) {
        OnException(text);
        return;
    }
    MessageBox(text, FTitle, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const UString& text, const UString& caption, UINT flags) {
    TModalScope scope;
    return ::MessageBoxW(scope.Owner(), W(text), W(caption), flags);
}

void TApplication::ShowPlainMessage(const UString& text) {
    TModalScope scope;
    if (!ShowTaskDialogBox(scope.Owner(), FTitle, text)) ShowClassicBox(scope.Owner(), FTitle, text);
}

void TApplication::ShowClassicPlainMessage(const UString& text) {
    TModalScope scope;
    ShowClassicBox(scope.Owner(), FTitle, text);
}

void TApplication::NormalizeTopMosts() {
    if (FTopMostLevel++ > 0) return;
    for (TForm* form : FForms)
        if (form->FormStyle() == fsStayOnTop && form->Showing()) form->SetTopMost(false);
}

void TApplication::RestoreTopMosts() {
    if (FTopMostLevel == 0 || --FTopMostLevel > 0) return;
    const bool active = ::GetActiveWindow() != nullptr;
    for (TForm* form : FForms) {
        if (form->FormStyle() != fsStayOnTop || !form->Showing()) continue;
        // While another application is active only the main window stays on top.
        if (active || form == FMainForm) form->SetTopMost(true);
    }
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TApplication*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TApplication*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self || !self->FHandle) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    try {
        return self->AppWndMessage(msg, wParam, lParam);
    } catch (...) {
        self->HandleException(std::current_exception());
        return 0;
    }
}

LRESULT TApplication::AppWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        // Close from the taskbar entry's menu closes the main window.
        if (FMainForm) FMainForm->Close();
        return 0;
    case WM_SETFOCUS:
        if (FActiveForm && FActiveForm->Showing() && ::IsWindowEnabled(FActiveForm->Handle()))
            ::SetFocus(FActiveForm->Handle());
        else if (FMainForm && FMainForm->Showing() && ::IsWindowEnabled(FMainForm->Handle()))
            ::SetFocus(FMainForm->Handle());
        return 0;
    case WM_SETTINGCHANGE:
        if (OnSettingChange) OnSettingChange();
        return ::DefWindowProcW(FHandle, msg, wParam, lParam);
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Logging off or shutting down ends the program at once.
        if (wParam) {
            Terminate();
            ::ExitProcess(0);
        }
        return 0;
    default:
        return ::DefWindowProcW(FHandle, msg, wParam, lParam);
    }
}
