// Modal boxes of the application: the error box, the plain-text box and the
// scope that every modal box of the program runs in.
#include <windows.h>
#include <commctrl.h>
#include "toolkit/application_win32.h"
#include "toolkit/common_controls_win32.h"
#include "toolkit/system_library_win32.h"
#include "toolkit/theme_library_win32.h"

namespace {

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

// The fallback box is centred on the primary monitor's work area when it is
// activated; the hook lives only while the box is being opened.
HHOOK CenteringHook = nullptr;

LRESULT CALLBACK CenterOnWorkArea(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
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
    TTaskDialogIndirect taskDialog = VisualStylesActive() ? TaskDialogFunction() : nullptr;
    if (taskDialog) {
        const UString empty;
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = scope.Owner();
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
        config.dwCommonButtons = TDCBF_OK_BUTTON;
        config.pszWindowTitle = W(FTitle);
        config.pszMainInstruction = W(empty);
        config.pszContent = W(text);
        int button = 0;
        if (SUCCEEDED(taskDialog(&config, &button, nullptr, nullptr))) return;
    }
    CenteringHook = ::SetWindowsHookExW(WH_CBT, CenterOnWorkArea, nullptr, ::GetCurrentThreadId());
    ::MessageBoxW(scope.Owner(), W(text), W(FTitle), MB_OK);
    if (CenteringHook) {
        ::UnhookWindowsHookEx(CenteringHook);
        CenteringHook = nullptr;
    }
}
