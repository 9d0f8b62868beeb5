#include "toolkit/modal_scope_win32.h"

#include "base/geometry.h"
#include "toolkit/application_win32.h"
#include "toolkit/placement.h"

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

}  // namespace

TModalScope::TModalScope() {
    FActive = ::GetActiveWindow();
    FFocus = ::GetFocus();
    FOwner = FActive ? FActive : (Application ? Application->Handle() : nullptr);
    if (Application) {
        Application->NormalizeTopMosts();
        MoveApplicationToActiveMonitor(Application->Handle());
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

// The box appears on the active window's monitor: the application window is
// moved there when it lies on another one.
void TModalScope::MoveApplicationToActiveMonitor(HWND app) {
    if (!FActive || !app) return;
    const HMONITOR monitor = ::MonitorFromWindow(FActive, MONITOR_DEFAULTTONEAREST);
    if (monitor == ::MonitorFromWindow(app, MONITOR_DEFAULTTONEAREST)) return;
    ::GetWindowRect(app, &FAppRect);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    const TPoint at = MidPoint({work.left, work.top, work.right, work.bottom});
    ::SetWindowPos(app, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FAppMoved = true;
}
