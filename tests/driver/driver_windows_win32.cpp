// Finding windows and controls of another process, reading their state and
// sending them input. Everything crosses the process boundary through messages
// or through the window manager's own records.
#include <cwchar>
#include <cwctype>

#include "tests/driver/driver.h"

namespace {

constexpr DWORD kPollMs = 50;

std::wstring Optional(const TArgs& args, const wchar_t* name) { return args.Text(name); }

bool MatchesTopLevel(HWND wnd, const TArgs& args) {
    if (!args.Has(L"hidden") && !::IsWindowVisible(wnd)) return false;
    if (args.Has(L"hwnd") && reinterpret_cast<HWND>(static_cast<UINT_PTR>(args.Number(L"hwnd", 0))) != wnd)
        return false;
    if (args.Has(L"pid")) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        if (static_cast<long>(pid) != args.Number(L"pid", 0)) return false;
    }
    if (args.Has(L"class") && ClassOf(wnd) != Optional(args, L"class")) return false;
    if (args.Has(L"caption") && WindowText(wnd) != Optional(args, L"caption")) return false;
    return true;
}

struct TCollect {
    const TArgs* Args;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND wnd, LPARAM param) {
    auto* c = reinterpret_cast<TCollect*>(param);
    if (MatchesTopLevel(wnd, *c->Args)) c->Found.push_back(wnd);
    return TRUE;
}

long CheckState(HWND wnd) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(wnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return static_cast<long>(state);
}

std::wstring Hex(unsigned long long v) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%llx", v);
    return buffer;
}

void PrintRect(const char* key, const RECT& r) {
    Print(std::string(key) + "=" + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
          std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

// PrintWindowState prints what the scenarios check about any window: outer
// rectangle and client rectangle on the screen (x y w h), styles, states.
void PrintWindowState(HWND wnd) {
    PrintValue("hwnd", HexHandle(wnd));
    PrintValue("class", ClassOf(wnd));
    PrintValue("text", ::GetParent(wnd) ? SentText(wnd) : WindowText(wnd));
    PrintValue("id", static_cast<long long>(::GetDlgCtrlID(wnd)));
    RECT outer{};
    ::GetWindowRect(wnd, &outer);
    PrintRect("rect", outer);
    RECT client{};
    ::GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ::ClientToScreen(wnd, &origin);
    ::OffsetRect(&client, origin.x, origin.y);
    PrintRect("client", client);
    const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(wnd, GWL_EXSTYLE);
    PrintValue("style", Hex(static_cast<unsigned long long>(style & 0xFFFFFFFF)));
    PrintValue("exstyle", Hex(static_cast<unsigned long long>(exStyle & 0xFFFFFFFF)));
    PrintValue("topmost", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    PrintValue("enabled", ::IsWindowEnabled(wnd) ? 1 : 0);
    PrintValue("visible", ::IsWindowVisible(wnd) ? 1 : 0);
    PrintValue("foreground", ::GetForegroundWindow() == wnd ? 1 : 0);
    // Buttons, and controls built on them under a class name of their own.
    std::wstring cls = ClassOf(wnd);
    for (wchar_t& c : cls) c = static_cast<wchar_t>(::towlower(c));
    if (cls.find(L"button") != std::wstring::npos) PrintValue("checked", CheckState(wnd));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    PrintValue("pid", static_cast<long long>(pid));
    PrintValue("owner", HexHandle(::GetWindow(wnd, GW_OWNER)));
}

HWND Target(const TArgs& args) {
    HWND top = WaitTopLevel(args);
    return HasChildQuery(args) ? FindChild(top, args) : top;
}

// Client-area mouse messages; the posted pair reaches the control's own
// procedure as a real click would, including its mouse-up handlers.
void PostMouseClick(HWND wnd, const std::wstring& button) {
    RECT r{};
    ::GetClientRect(wnd, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP;
    WPARAM keys = MK_LBUTTON;
    if (button == L"right") down = WM_RBUTTONDOWN, up = WM_RBUTTONUP, keys = MK_RBUTTON;
    else if (button == L"middle") down = WM_MBUTTONDOWN, up = WM_MBUTTONUP, keys = MK_MBUTTON;
    else if (button != L"left") throw EUsage("--button is left, right or middle");
    ::PostMessageW(wnd, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(wnd, down, keys, at);
    ::PostMessageW(wnd, up, 0, at);
}

BOOL CALLBACK CollectChild(HWND wnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

// Text of a control in another process: WM_GETTEXT with a time limit, so a hung
// target cannot hang the driver.
std::wstring SentText(HWND wnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return WindowText(wnd);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                          &copied);
    text.resize(copied);
    return text;
}

std::wstring WindowText(HWND wnd) {
    const int length = ::GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(wnd, text.data(), length + 1)));
    return text;
}

std::wstring ClassOf(HWND wnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(wnd, name, 256);
    return name;
}

std::vector<HWND> AllTopLevel(const TArgs& args) {
    TCollect c{&args, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&c));
    return c.Found;
}

HWND FindTopLevel(const TArgs& args) {
    auto all = AllTopLevel(args);
    return all.empty() ? nullptr : all.front();
}

HWND WaitTopLevel(const TArgs& args) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(args.Number(L"timeout", 10000));
    for (;;) {
        if (HWND wnd = FindTopLevel(args)) return wnd;
        if (::GetTickCount64() >= deadline) throw EFailure("no such window");
        ::Sleep(kPollMs);
    }
}

bool HasChildQuery(const TArgs& args) {
    return args.Has(L"child-id") || args.Has(L"child-class") || args.Has(L"child-text") || args.Has(L"child-index");
}

HWND FindChild(HWND parent, const TArgs& args) {
    long index = args.Number(L"child-index", 0);
    for (HWND c : Children(parent)) {
        if (args.Has(L"child-id") && ::GetDlgCtrlID(c) != args.Number(L"child-id", 0)) continue;
        if (args.Has(L"child-class") && ClassOf(c) != args.Text(L"child-class")) continue;
        if (args.Has(L"child-text") && SentText(c) != args.Text(L"child-text")) continue;
        if (index-- > 0) continue;
        return c;
    }
    throw EFailure("no such control");
}

int CmdWaitWindow(const TArgs& args) {
    PrintValue("hwnd", HexHandle(WaitTopLevel(args)));
    return 0;
}

int CmdWaitGone(const TArgs& args) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(args.Number(L"timeout", 10000));
    while (FindTopLevel(args)) {
        if (::GetTickCount64() >= deadline) throw EFailure("the window is still there");
        ::Sleep(kPollMs);
    }
    return 0;
}

int CmdInfo(const TArgs& args) {
    PrintWindowState(Target(args));
    return 0;
}

int CmdChildren(const TArgs& args) {
    for (HWND c : Children(WaitTopLevel(args))) {
        Print("-");
        PrintWindowState(c);
    }
    return 0;
}

int CmdCount(const TArgs& args) {
    PrintValue("count", static_cast<long long>(AllTopLevel(args).size()));
    return 0;
}

int CmdList(const TArgs& args) {
    for (HWND w : AllTopLevel(args)) {
        Print("-");
        PrintValue("hwnd", HexHandle(w));
        PrintValue("class", ClassOf(w));
        PrintValue("text", WindowText(w));
    }
    return 0;
}

namespace {

BOOL CALLBACK CollectVisible(HWND wnd, LPARAM param) {
    if (::IsWindowVisible(wnd)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
    return TRUE;
}

std::vector<HWND> VisibleOfProcess(DWORD pid) {
    std::vector<HWND> all, mine;
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid) mine.push_back(w);
    }
    return mine;
}

// WaitNewWindow waits until the process shows a top-level window that was not
// visible before the click, and prints it with the time it took.
int WaitNewWindow(DWORD pid, const std::vector<HWND>& before, ULONGLONG start, long timeoutMs) {
    for (;;) {
        for (HWND w : VisibleOfProcess(pid)) {
            bool known = false;
            for (HWND b : before) known = known || b == w;
            if (known) continue;
            PrintValue("elapsed_ms", static_cast<long long>(::GetTickCount64() - start));
            PrintValue("new_window", HexHandle(w));
            PrintValue("new_class", ClassOf(w));
            PrintValue("new_caption", WindowText(w));
            return 0;
        }
        if (::GetTickCount64() - start >= static_cast<ULONGLONG>(timeoutMs)) throw EFailure("no new window appeared");
        // Each look asks the window server; looking more often would take
        // time from the program being timed.
        ::Sleep(10);
    }
}

}  // namespace

int CmdClick(const TArgs& args) {
    HWND wnd = Target(args);
    const std::wstring button = args.Text(L"button", L"left");
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    const std::vector<HWND> before = VisibleOfProcess(pid);
    const ULONGLONG start = ::GetTickCount64();
    // BM_CLICK is posted, never sent: the click may open a modal box, and a sent
    // message would wait for that box to close.
    if (args.Has(L"mouse") || button != L"left") PostMouseClick(wnd, button);
    else ::PostMessageW(wnd, BM_CLICK, 0, 0);
    if (args.Has(L"wait-new-window")) return WaitNewWindow(pid, before, start, args.Number(L"timeout", 60000));
    return 0;
}

int CmdActivate(const TArgs& args) {
    HWND wnd = Target(args);
    if (!::SetForegroundWindow(wnd)) throw EFailure("the window could not be brought to the front");
    return 0;
}

int CmdSetText(const TArgs& args) {
    if (args.Positional().size() != 1) throw EUsage("set-text needs the text");
    HWND wnd = Target(args);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.Positional()[0].c_str()), SMTO_ABORTIFHUNG,
                          2000, &result);
    return 0;
}

namespace {

int WaitProcessExit(HANDLE process, long timeoutMs) {
    if (::WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        throw EFailure("the process did not end");
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    PrintValue("exit", static_cast<long long>(code));
    ::CloseHandle(process);
    return 0;
}

HANDLE OpenWindowProcess(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) throw EFailure("cannot open the window's process");
    return process;
}

}  // namespace

int CmdClose(const TArgs& args) {
    HWND wnd = Target(args);
    HANDLE process = args.Has(L"wait-exit") ? OpenWindowProcess(wnd) : nullptr;
    ::PostMessageW(wnd, WM_CLOSE, 0, 0);
    return process ? WaitProcessExit(process, args.Number(L"timeout", 10000)) : 0;
}

int CmdWaitExit(const TArgs& args) {
    return WaitProcessExit(OpenWindowProcess(WaitTopLevel(args)), args.Number(L"timeout", 10000));
}
