// uidriver: drives the updater's windows from a second process, for the
// end-to-end scenarios. Every command prints UTF-8 "key=value" lines on stdout
// and answers 0 on success, 1 when what it waited for did not happen and 2 on a
// usage error.
#pragma once

#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.h"

// EUsage is a wrong command line; EFailure is a check or wait that failed.
struct EUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct EFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// TArgs holds "--name value" options and the positional arguments of a command.
class TArgs {
public:
    TArgs(int argc, wchar_t** argv, int first);
    bool Has(const std::wstring& name) const { return FOptions.count(name) != 0; }
    std::wstring Text(const std::wstring& name, const std::wstring& fallback = L"") const;
    long Number(const std::wstring& name, long fallback) const;
    const std::vector<std::wstring>& Positional() const { return FPositional; }
    long PositionalNumber(size_t index) const;

private:
    std::map<std::wstring, std::wstring> FOptions;
    std::vector<std::wstring> FPositional;
};

// Output helpers: UTF-8, "\n" line ends, CR and LF inside values shown as "\n".
void Print(const std::string& utf8Line);
void PrintValue(const char* key, const std::wstring& value);
void PrintValue(const char* key, long long value);
std::string Utf8(const std::wstring& text);
std::wstring HexHandle(HWND wnd);

// Window finding (driver_windows_win32.cpp). A top-level query matches by caption, class,
// handle, process id and visibility; a child query by control id, class, text or index.
HWND FindTopLevel(const TArgs& args);
HWND WaitTopLevel(const TArgs& args);
std::vector<HWND> AllTopLevel(const TArgs& args);
HWND FindChild(HWND parent, const TArgs& args);
bool HasChildQuery(const TArgs& args);
std::wstring WindowText(HWND wnd);
std::wstring ClassOf(HWND wnd);
// Children lists every descendant of parent, in the system's order.
std::vector<HWND> Children(HWND parent);
// SentText is a control's text read by a message with a time limit.
std::wstring SentText(HWND wnd);

// Message and task-dialog boxes (driver_box_win32.cpp).
struct TBoxContent {
    std::wstring Title;
    std::vector<std::wstring> Texts;    // static texts, in child order
    std::vector<std::wstring> Buttons;  // button captions, in child order
    bool HasIcon = false;
    HWND Owner = nullptr;
};
HWND WaitBox(const TArgs& args);
TBoxContent ReadBox(HWND box);
void DismissBox(HWND box);

// Commands.
int CmdWaitWindow(const TArgs& args);
int CmdWaitGone(const TArgs& args);
int CmdInfo(const TArgs& args);
int CmdChildren(const TArgs& args);
int CmdCount(const TArgs& args);
int CmdList(const TArgs& args);
int CmdClick(const TArgs& args);
int CmdSetText(const TArgs& args);
int CmdActivate(const TArgs& args);
int CmdClose(const TArgs& args);
int CmdWaitExit(const TArgs& args);
int CmdReadBox(const TArgs& args);
int CmdDismissBox(const TArgs& args);
int CmdScreen(const TArgs& args);
int CmdPixel(const TArgs& args);
int CmdCapture(const TArgs& args);
int CmdFont(const TArgs& args);
int CmdHold(const TArgs& args);
int CmdTextWidth(const TArgs& args);
