// driver_test_window: a small window with known contents, for testing uidriver
// without the updater. It is topmost with a 300 x 200 client area at 100, 100;
// the client rectangle 10,10-60,40 is filled with RGB 12, 34, 56; button 1
// ("OK", bold Tahoma, height -12) shows an error box "Box text."; the radio
// button 11 reports the last mouse release in the static 12; closing the
// window ends the process with exit code 7.
#include <windows.h>

#include <string>

namespace {

constexpr int kButtonId = 1, kRadioId = 11, kStatusId = 12, kEditId = 13;
HFONT gBold = nullptr;
WNDPROC gRadioProc = nullptr;

LRESULT CALLBACK RadioProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const wchar_t* report = msg == WM_LBUTTONUP ? L"up left" : msg == WM_RBUTTONUP ? L"up right"
                            : msg == WM_MBUTTONUP ? L"up middle" : nullptr;
    LRESULT result = ::CallWindowProcW(gRadioProc, wnd, msg, wp, lp);
    if (report) ::SetDlgItemTextW(::GetParent(wnd), kStatusId, report);
    return result;
}

void CreateControls(HWND wnd, HINSTANCE instance) {
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 200, 150, 80, 28, wnd,
                                    reinterpret_cast<HMENU>(kButtonId), instance, nullptr);
    gBold = ::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(gBold), TRUE);
    HWND radio = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 200, 60, 20, 20, wnd,
                                   reinterpret_cast<HMENU>(kRadioId), instance, nullptr);
    gRadioProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(radio, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RadioProc)));
    ::CreateWindowExW(0, L"STATIC", L"none", WS_CHILD | WS_VISIBLE, 10, 100, 150, 20, wnd,
                      reinterpret_cast<HMENU>(kStatusId), instance, nullptr);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 150, 150, 20, wnd,
                                  reinterpret_cast<HMENU>(kEditId), instance, nullptr);
    (void)edit;
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        CreateControls(wnd, reinterpret_cast<CREATESTRUCTW*>(lp)->hInstance);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == kButtonId) ::MessageBoxW(wnd, L"Box text.", L"testwin", MB_OK | MB_ICONERROR);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(wnd, &ps);
        RECT r{10, 10, 60, 40};
        HBRUSH brush = ::CreateSolidBrush(RGB(12, 34, 56));
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
        ::EndPaint(wnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(7);
        return 0;
    default:
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    // The caption is the whole command line, without the quotes a caption with
    // spaces arrives in.
    std::wstring caption = (commandLine && *commandLine) ? commandLine : L"پنجره آزمایشی";
    if (caption.size() >= 2 && caption.front() == L'"' && caption.back() == L'"')
        caption = caption.substr(1, caption.size() - 2);
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = L"DriverTestWindow";
    ::RegisterClassExW(&cls);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_BORDER;
    RECT r{100, 100, 400, 300};
    ::AdjustWindowRectEx(&r, style, FALSE, WS_EX_TOPMOST);
    HWND wnd = ::CreateWindowExW(WS_EX_TOPMOST, cls.lpszClassName, caption.c_str(), style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(wnd, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (gBold) ::DeleteObject(gBold);
    return static_cast<int>(msg.wParam);
}
