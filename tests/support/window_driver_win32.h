// Helpers that drive this process's windows from a test: pumping messages,
// finding a dialog the code under test opened (from a second thread, since
// the dialog runs its own modal loop on the test's thread), and reading or
// typing into its controls.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "base/text.h"

// PumpMessages dispatches this thread's messages until done() answers true
// or the time runs out; it answers done().
inline bool PumpMessages(const std::function<bool()>& done, int milliseconds = 3000,
                         const std::function<void(MSG&)>& dispatch = nullptr) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dispatch) {
                dispatch(msg);
            } else {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done && done()) return true;
        if (std::chrono::steady_clock::now() >= until) return done ? done() : true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// FindProcessWindow finds a visible top-level window of this process with the class and caption.
inline HWND FindProcessWindow(const wchar_t* className, const wchar_t* caption) {
    struct TSearch {
        const wchar_t* ClassName;
        const wchar_t* Caption;
        HWND Found;
    } search{className, caption, nullptr};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(lp);
            DWORD process = 0;
            ::GetWindowThreadProcessId(wnd, &process);
            if (process != ::GetCurrentProcessId() || !::IsWindowVisible(wnd)) return TRUE;
            wchar_t name[64] = {};
            ::GetClassNameW(wnd, name, 64);
            wchar_t text[256] = {};
            ::GetWindowTextW(wnd, text, 256);
            if (std::wstring(name) == s->ClassName && std::wstring(text) == s->Caption) {
                s->Found = wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// FindDescendant finds a child window at any depth by its control id.
inline HWND FindDescendant(HWND parent, int id) {
    struct TSearch {
        int Id;
        HWND Found;
    } search{id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND wnd, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(lp);
            if (::GetDlgCtrlID(wnd) != s->Id) return TRUE;
            s->Found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

inline UString WindowText(HWND wnd) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
    return UString(reinterpret_cast<const char16_t*>(text));
}

// TDialogDriver waits on a thread of its own for a dialog of this process and
// then runs the steps on it; without a dialog in time it gives up.
class TDialogDriver {
public:
    TDialogDriver(const wchar_t* caption, std::function<void(HWND dialog)> steps, int milliseconds = 8000)
        : FThread([this, caption, steps = std::move(steps), milliseconds] {
              const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
              while (std::chrono::steady_clock::now() < until) {
                  if (HWND dialog = FindProcessWindow(L"#32770", caption)) {
                      ::Sleep(300);  // let the dialog finish setting itself up
                      steps(dialog);
                      FFound = true;
                      break;
                  }
                  ::Sleep(50);
              }
              FDone = true;
          }) {}
    ~TDialogDriver() {
        if (FThread.joinable()) FThread.join();
    }
    TDialogDriver(const TDialogDriver&) = delete;
    TDialogDriver& operator=(const TDialogDriver&) = delete;

    bool Done() const { return FDone; }
    bool Found() const { return FFound; }
    void Join() {
        if (FThread.joinable()) FThread.join();
    }

private:
    std::atomic<bool> FDone{false};
    std::atomic<bool> FFound{false};
    std::thread FThread;
};

// ChooseInOpenDialog types a path into the open dialog's name field (its id
// differs between the shell's and the classic dialog) and confirms.
inline void ChooseInOpenDialog(HWND dialog, const UString& path) {
    HWND edit = FindDescendant(dialog, 1152);
    if (!edit) edit = FindDescendant(dialog, 1148);
    if (edit) ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

inline void CancelDialog(HWND dialog) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
}

// TFocusClickEmulation plays a part of the Windows radio button that wine's
// lacks: when an unchecked radio button that is not pushed gains the focus,
// Windows' button reports BN_CLICKED to its parent while handling WM_SETFOCUS.
// The hook sends that notification right after the button's own handling,
// for the windows of this thread, for as long as the object lives.
class TFocusClickEmulation {
public:
    TFocusClickEmulation()
        : FHook(::SetWindowsHookExW(WH_CALLWNDPROCRET, Hook, nullptr, ::GetCurrentThreadId())) {}
    ~TFocusClickEmulation() {
        if (FHook) ::UnhookWindowsHookEx(FHook);
    }
    TFocusClickEmulation(const TFocusClickEmulation&) = delete;
    TFocusClickEmulation& operator=(const TFocusClickEmulation&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lp);
        if (code == HC_ACTION && call->message == WM_SETFOCUS) {
            const LONG_PTR type = ::GetWindowLongPtrW(call->hwnd, GWL_STYLE) & BS_TYPEMASK;
            const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
            const bool isButton = (::SendMessageW(call->hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
            const LRESULT state = ::SendMessageW(call->hwnd, BM_GETSTATE, 0, 0);
            if (radio && isButton && !(state & (BST_CHECKED | BST_PUSHED)))
                ::SendMessageW(::GetParent(call->hwnd), WM_COMMAND,
                               MAKEWPARAM(::GetDlgCtrlID(call->hwnd), BN_CLICKED),
                               reinterpret_cast<LPARAM>(call->hwnd));
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK FHook;
};
