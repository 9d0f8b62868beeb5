#include "updater/open_dialog_win32.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <utility>

#include "base/system_library_win32.h"
#include "base/win32_handles.h"
#include "updater/open_dialog.h"

namespace {

constexpr int kFileNameCapacity = 260;

// TCoTaskText frees a text the shell allocated for us.
class TCoTaskText {
public:
    TCoTaskText() = default;
    ~TCoTaskText() { ::CoTaskMemFree(FText); }
    TCoTaskText(const TCoTaskText&) = delete;
    TCoTaskText& operator=(const TCoTaskText&) = delete;
    PWSTR* Receive() { return &FText; }
    PWSTR Get() const { return FText; }

private:
    PWSTR FText = nullptr;
};

bool CreateShellDialog(TComPtr<IFileOpenDialog>& dialog) {
    return SUCCEEDED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IFileOpenDialog, dialog.ReceiveVoid()));
}

// SetStartFolder points the dialog at the folder; a folder the shell cannot
// resolve is left out rather than failing the dialog.
void SetStartFolder(IFileOpenDialog& dialog, const UString& folder) {
    if (folder.empty()) return;
    // Found at run time, as every library the program does not need to start.
    const TUniqueModule shell = LoadSystemLibrary(L"shell32.dll");
    const auto createItem = LibraryEntry<decltype(&::SHCreateItemFromParsingName)>(shell.Get(),
                                                                                 "SHCreateItemFromParsingName");
    TComPtr<IShellItem> item;
    if (!createItem || FAILED(createItem(W(folder), nullptr, IID_IShellItem, item.ReceiveVoid()))) return;
    dialog.SetFolder(item.Get());
}

std::optional<UString> RunShellDialog(IFileOpenDialog& dialog, const TOpenDialogSettings& settings) {
    const COMDLG_FILTERSPEC filter{W(settings.FilterText), W(settings.FilterPattern)};
    dialog.SetFileTypes(1, &filter);
    dialog.SetFileTypeIndex(static_cast<UINT>(settings.FilterIndex));
    // Assigning the options replaces the dialog's defaults altogether.
    dialog.SetOptions(FOS_FILEMUSTEXIST);
    SetStartFolder(dialog, settings.Folder);
    if (FAILED(dialog.Show(settings.Owner))) return std::nullopt;
    TComPtr<IShellItem> result;
    if (FAILED(dialog.GetResult(result.Receive()))) return std::nullopt;
    TCoTaskText path;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.Receive()))) return std::nullopt;
    return FromW(path.Get());
}

TRect MonitorAreaOf(HWND wnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

// PlaceDialog moves the classic dialog once it is set up.
void PlaceDialog(HWND dialog, HWND beside) {
    RECT bounds{};
    ::GetWindowRect(dialog, &bounds);
    const TPoint at =
        DialogPosition(MonitorAreaOf(beside), bounds.right - bounds.left, bounds.bottom - bounds.top);
    ::SetWindowPos(dialog, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ClassicHook places the dialog when it reports that it is initialised. The
// hook's own window is a child of the explorer-style dialog.
UINT_PTR CALLBACK ClassicHook(HWND hookWindow, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* settings = reinterpret_cast<const OPENFILENAMEW*>(lp);
        ::SetWindowLongPtrW(hookWindow, DWLP_USER, static_cast<LONG_PTR>(settings->lCustData));
    } else if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == CDN_INITDONE) {
        const auto beside = reinterpret_cast<HWND>(::GetWindowLongPtrW(hookWindow, DWLP_USER));
        PlaceDialog(::GetParent(hookWindow), beside);
    }
    return 0;
}

std::optional<UString> RunClassicDialog(const TOpenDialogSettings& settings) {
    // Pairs of display text and pattern, each ended by a null, the list by another.
    UString filter = settings.FilterText + u'\0' + settings.FilterPattern + u'\0' + u'\0';
    UString fileName(kFileNameCapacity, u'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = settings.Owner;
    dialog.lpstrFilter = W(filter);
    dialog.nFilterIndex = static_cast<DWORD>(settings.FilterIndex);
    dialog.lpstrFile = reinterpret_cast<wchar_t*>(fileName.data());
    dialog.nMaxFile = kFileNameCapacity;
    dialog.lpstrInitialDir = settings.Folder.empty() ? nullptr : W(settings.Folder);
    dialog.Flags = OFN_ENABLEHOOK | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    dialog.lpfnHook = ClassicHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(settings.PlaceBeside);
    const TUniqueModule dialogs = LoadSystemLibrary(L"comdlg32.dll");
    const auto getOpenFileName = LibraryEntry<decltype(&::GetOpenFileNameW)>(dialogs.Get(), "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&dialog)) return std::nullopt;
    return FromW(W(fileName));
}

}  // namespace

std::optional<UString> RunOpenDialogOfKind(const TOpenDialogSettings& settings, TOpenDialogKind kind) {
    if (kind == odShell) {
        TComPtr<IFileOpenDialog> dialog;
        if (CreateShellDialog(dialog)) return RunShellDialog(*dialog.Get(), settings);
    }
    return RunClassicDialog(settings);
}

std::optional<UString> RunOpenDialog(const TOpenDialogSettings& settings) {
    return RunOpenDialogOfKind(settings, odShell);
}
