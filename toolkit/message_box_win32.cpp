// Modal boxes of the application: the error box, the plain-text box and the
// scope that every modal box of the program runs in.
#include <windows.h>
#include <commctrl.h>
#include "toolkit/application_win32.h"
#include "toolkit/common_controls_win32.h"
#include "base/system_library_win32.h"
#include "toolkit/theme_library_win32.h"

namespace {

// The plain box's one button reads "OK" whatever the language of Windows: the
// system's own OK button would take the system's word for it.
constexpr wchar_t kOkCaption[] = L"OK";

struct TThreadWindows {
    std::vector<HWND>* Disabled;
};

BOOL CALLBACK DisableThreadWindow(HWND wnd, LPARAM data) {
    auto* windows = reinterpret_cast<TThreadWindows*>(data);
    if (::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) {
        ::EnableWindow(wnd, FALSE);
        windows->Disabled->push_back(wnd);
    }
    return TRUE;
}

using TTaskDialogIndirect = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// TaskDialogFunction is the task dialog entry of the loaded common controls,
// present only in version 6; it is looked up so the program also starts without it.
TTaskDialogIndirect TaskDialogFunction() {
    return LibraryEntry<TTaskDialogIndirect>(CommonControls(), "TaskDialogIndirect");
}

// The classic box is centred on the primary monitor's work area, and its
// button labelled, when it is activated; the hook lives only while the box is
// being opened.
HHOOK CenteringHook = nullptr;

LRESULT CALLBACK CenterOnWorkArea(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        ::SetDlgItemTextW(box, IDOK, kOkCaption);
        RECT work, rect;
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        ::GetWindowRect(box, &rect);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        ::SetWindowPos(box, nullptr, work.left + (work.right - work.left - width) / 2,
                       work.top + (work.bottom - work.top - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::UnhookWindowsHookEx(CenteringHook);
        CenteringHook = nullptr;
        return 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// ShowTaskDialog shows the plain box as a task dialog; false when there is none
// to show (no visual style in force, or common controls without task dialogs).
bool ShowTaskDialog(HWND owner, const UString& title, const UString& text) {
    TTaskDialogIndirect taskDialog = VisualStylesActive() ? TaskDialogFunction() : nullptr;
    if (!taskDialog) return false;
    const UString empty;
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    // A button of our own with the OK button's id: the box reports IDOK as before.
    const TASKDIALOG_BUTTON ok{IDOK, kOkCaption};
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.cButtons = 1;
    config.pButtons = &ok;
    config.nDefaultButton = IDOK;
    config.pszWindowTitle = W(title);
    config.pszMainInstruction = W(empty);
    config.pszContent = W(text);
    int button = 0;
    return SUCCEEDED(taskDialog(&config, &button, nullptr, nullptr));
}

void ShowClassicBox(HWND owner, const UString& title, const UString& text) {
    CenteringHook = ::SetWindowsHookExW(WH_CBT, CenterOnWorkArea, nullptr, ::GetCurrentThreadId());
    ::MessageBoxW(owner, W(text), W(title), MB_OK);
    if (CenteringHook) {
        ::UnhookWindowsHookEx(CenteringHook);
        CenteringHook = nullptr;
    }
}

}  // namespace

TModalScope::TModalScope() {
    FActive = ::GetActiveWindow();
    FFocus = ::GetFocus();
    FOwner = FActive ? FActive : (Application ? Application->Handle() : nullptr);
    if (Application) {
        Application->NormalizeTopMosts();
        // The box appears on the active window's monitor: move the application
        // window there when it lies on another one.
        HWND app = Application->Handle();
        if (FActive && app && ::MonitorFromWindow(FActive, MONITOR_DEFAULTTONEAREST) !=
                                  ::MonitorFromWindow(app, MONITOR_DEFAULTTONEAREST)) {
            ::GetWindowRect(app, &FAppRect);
            MONITORINFO info{};
            info.cbSize = sizeof info;
            ::GetMonitorInfoW(::MonitorFromWindow(FActive, MONITOR_DEFAULTTONEAREST), &info);
            ::SetWindowPos(app, nullptr, (info.rcWork.left + info.rcWork.right) / 2,
                           (info.rcWork.top + info.rcWork.bottom) / 2, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            FAppMoved = true;
        }
    }
    TThreadWindows windows{&FDisabled};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&windows));
}

TModalScope::~TModalScope() {
    for (HWND wnd : FDisabled)
        if (::IsWindow(wnd)) ::EnableWindow(wnd, TRUE);
    if (Application) {
        if (FAppMoved)
            ::SetWindowPos(Application->Handle(), nullptr, FAppRect.left, FAppRect.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Application->RestoreTopMosts();
    }
    if (FActive && ::IsWindow(FActive)) ::SetActiveWindow(FActive);
    if (FFocus && ::IsWindow(FFocus)) ::SetFocus(FFocus);
}

int TApplication::MessageBox(const UString& text, const UString& caption, UINT flags) {
    TModalScope scope;
    return ::MessageBoxW(scope.Owner(), W(text), W(caption), flags);
}

void TApplication::ShowPlainMessage(const UString& text) {
    TModalScope scope;
    if (!ShowTaskDialog(scope.Owner(), FTitle, text)) ShowClassicBox(scope.Owner(), FTitle, text);
}

void TApplication::ShowClassicPlainMessage(const UString& text) {
    TModalScope scope;
    ShowClassicBox(scope.Owner(), FTitle, text);
}
