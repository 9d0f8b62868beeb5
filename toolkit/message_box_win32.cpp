#include "toolkit/message_box_win32.h"

#include <commctrl.h>

#include "base/geometry.h"
#include "base/system_library_win32.h"
#include "base/win32_handles.h"
#include "toolkit/common_controls_win32.h"
#include "toolkit/placement.h"
#include "toolkit/theme_library_win32.h"

namespace {

// The plain box's one button reads "OK" whatever the language of Windows: the
// system's own OK button would take the system's word for it.
constexpr wchar_t kOkCaption[] = L"OK";

using TTaskDialogIndirect = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// TaskDialogFunction is the task dialog entry of the loaded common controls,
// present only in version 6; it is looked up so the program also starts without it.
TTaskDialogIndirect TaskDialogFunction() {
    return LibraryEntry<TTaskDialogIndirect>(CommonControls(), "TaskDialogIndirect");
}

// The classic box is centred on the primary monitor's work area, and its
// button labelled, when it is activated; the hook lives only while the box is
// being opened.
TUniqueHook CenteringHook;

LRESULT CALLBACK CenterOnWorkArea(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        ::SetDlgItemTextW(box, IDOK, kOkCaption);
        RECT work, rect;
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        ::GetWindowRect(box, &rect);
        const TPoint at = CenterIn({work.left, work.top, work.right, work.bottom},
                                   {rect.right - rect.left, rect.bottom - rect.top});
        ::SetWindowPos(box, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CenteringHook.Reset();
        return 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ShowTaskDialogBox(HWND owner, const UString& title, const UString& text) {
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
    CenteringHook.Reset(::SetWindowsHookExW(WH_CBT, CenterOnWorkArea, nullptr, ::GetCurrentThreadId()));
    ::MessageBoxW(owner, W(text), W(title), MB_OK);
    CenteringHook.Reset();
}
