// Message boxes and task dialogs. Under Wine both are "#32770" dialogs whose
// texts are Static children; on Windows a task dialog draws its texts itself
// (no Static children), so reading a box stays behind ReadBox alone.
#include "tests/driver/driver.h"

namespace {

const wchar_t kDialogClass[] = L"#32770";

bool IsIconStatic(HWND wnd) {
    const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
    return (style & SS_TYPEMASK) == SS_ICON;
}

}  // namespace

HWND WaitBox(const TArgs& args) {
    // A box is a visible top-level dialog; --title narrows it to one caption.
    std::wstring title = args.Text(L"title");
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(args.Number(L"timeout", 10000));
    for (;;) {
        HWND found = nullptr;
        for (HWND w = ::FindWindowExW(nullptr, nullptr, kDialogClass, nullptr); w && !found;
             w = ::FindWindowExW(nullptr, w, kDialogClass, nullptr)) {
            if (::IsWindowVisible(w) && (!args.Has(L"title") || WindowText(w) == title)) found = w;
        }
        if (found) return found;
        if (::GetTickCount64() >= deadline) throw EFailure("no box");
        ::Sleep(50);
    }
}

TBoxContent ReadBox(HWND box) {
    TBoxContent content;
    content.Title = WindowText(box);
    content.Owner = ::GetWindow(box, GW_OWNER);
    for (HWND c : Children(box)) {
        if (!::IsWindowVisible(c)) continue;
        const std::wstring cls = ClassOf(c);
        if (cls == L"Static" && IsIconStatic(c)) {
            content.HasIcon = true;
        } else if (cls == L"Static") {
            std::wstring text = SentText(c);
            if (!text.empty()) content.Texts.push_back(text);
        } else if (cls == L"Button") {
            content.Buttons.push_back(SentText(c));
        }
    }
    return content;
}

void DismissBox(HWND box) {
    // OK, else Cancel, else a plain close: posted, so a hung box cannot hold us.
    if (HWND ok = ::GetDlgItem(box, IDOK)) ::PostMessageW(ok, BM_CLICK, 0, 0);
    else if (HWND cancel = ::GetDlgItem(box, IDCANCEL)) ::PostMessageW(cancel, BM_CLICK, 0, 0);
    else ::PostMessageW(box, WM_CLOSE, 0, 0);
}

int CmdReadBox(const TArgs& args) {
    HWND box = WaitBox(args);
    const TBoxContent content = ReadBox(box);
    PrintValue("hwnd", HexHandle(box));
    PrintValue("title", content.Title);
    for (const auto& t : content.Texts) PrintValue("text", t);
    for (const auto& b : content.Buttons) PrintValue("button", b);
    PrintValue("icon", content.HasIcon ? 1 : 0);
    PrintValue("owner", HexHandle(content.Owner));
    return 0;
}

int CmdDismissBox(const TArgs& args) {
    HWND box = WaitBox(args);
    DismissBox(box);
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    while (::IsWindow(box) && ::IsWindowVisible(box)) {
        if (::GetTickCount64() >= deadline) throw EFailure("the box stayed open");
        ::Sleep(50);
    }
    return 0;
}
