// Screen pixels, fonts of controls, text widths, and holding a file open.
#include <cstdio>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/driver/font_probe.h"
#include "toolkit/dib_section_win32.h"
#include "base/win32_handles.h"

namespace {

struct TPixels {
    long Width = 0, Height = 0;
    std::vector<uint8_t> Bgra;  // top-down rows, 4 bytes per pixel: B, G, R, unused
};

// GrabScreen copies a rectangle of the screen (all windows of all processes, as
// composed on the desktop) into a top-down 32-bit DIB section.
TPixels GrabScreen(long x, long y, long w, long h) {
    if (w <= 0 || h <= 0) throw EUsage("the rectangle is empty");
    TWindowDC screen(nullptr);
    const TDibSection dib(screen.Get(), w, h);
    if (!dib.Valid()) throw EFailure("cannot make a bitmap");
    if (!::BitBlt(dib.DC(), 0, 0, w, h, screen.Get(), x, y, SRCCOPY)) throw EFailure("BitBlt failed");
    ::GdiFlush();
    TPixels p;
    p.Width = w;
    p.Height = h;
    p.Bgra.assign(dib.Bits(), dib.Bits() + static_cast<size_t>(w) * h * 4);
    return p;
}

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    DWORD written = 0;
    if (!file.Valid() || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw EFailure("cannot write " + Utf8(path));
}

std::vector<uint8_t> AsPpm(const TPixels& p) {
    const std::string header = "P6\n" + std::to_string(p.Width) + " " + std::to_string(p.Height) + "\n255\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    for (size_t i = 0; i < p.Bgra.size(); i += 4) {
        out.push_back(p.Bgra[i + 2]);
        out.push_back(p.Bgra[i + 1]);
        out.push_back(p.Bgra[i]);
    }
    return out;
}

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// AsBmp writes a 32-bit top-down BMP (negative height), pixels as grabbed.
std::vector<uint8_t> AsBmp(const TPixels& p) {
    std::vector<uint8_t> out{'B', 'M'};
    const uint32_t dataSize = static_cast<uint32_t>(p.Bgra.size());
    PutLe(out, 14 + 40 + dataSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 14 + 40, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(p.Width), 4);
    PutLe(out, static_cast<uint32_t>(-p.Height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 32, 2);
    PutLe(out, BI_RGB, 4);
    PutLe(out, dataSize, 4);
    for (int i = 0; i < 4; ++i) PutLe(out, 0, 4);
    out.insert(out.end(), p.Bgra.begin(), p.Bgra.end());
    return out;
}

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int CmdScreen(const TArgs&) {
    PrintValue("virtual", std::to_wstring(::GetSystemMetrics(SM_XVIRTUALSCREEN)) + L" " +
                              std::to_wstring(::GetSystemMetrics(SM_YVIRTUALSCREEN)) + L" " +
                              std::to_wstring(::GetSystemMetrics(SM_CXVIRTUALSCREEN)) + L" " +
                              std::to_wstring(::GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    PrintValue("buttonface", std::to_wstring(GetRValue(face)) + L" " + std::to_wstring(GetGValue(face)) + L" " +
                                 std::to_wstring(GetBValue(face)));
    PrintValue("foreground", HexHandle(::GetForegroundWindow()));
    return 0;
}

int CmdPixel(const TArgs& args) {
    const TPixels p = GrabScreen(args.PositionalNumber(0), args.PositionalNumber(1), 1, 1);
    Print(std::to_string(p.Bgra[2]) + " " + std::to_string(p.Bgra[1]) + " " + std::to_string(p.Bgra[0]));
    return 0;
}

int CmdCapture(const TArgs& args) {
    if (args.Positional().size() != 5) throw EUsage("capture X Y W H OUT");
    const TPixels p =
        GrabScreen(args.PositionalNumber(0), args.PositionalNumber(1), args.PositionalNumber(2), args.PositionalNumber(3));
    const std::wstring& out = args.Positional()[4];
    if (EndsWith(out, L".ppm")) WriteFileBytes(out, AsPpm(p));
    else if (EndsWith(out, L".bmp")) WriteFileBytes(out, AsBmp(p));
    else throw EUsage("capture writes .bmp or .ppm");
    return 0;
}

namespace {

// ProbeFont reads a control's logical font inside its own process through the
// probe library, loaded there by a remote LoadLibraryW.
LOGFONTW ProbeFont(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    TUniqueFile section(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             sizeof(TFontProbeShared), FontProbeSectionName(pid).c_str()));
    TUniqueFile done(::CreateEventW(nullptr, TRUE, FALSE, FontProbeEventName(pid).c_str()));
    if (!section.Get() || !done.Get()) throw EFailure("cannot make the probe's section");
    auto* shared = static_cast<TFontProbeShared*>(
        ::MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TFontProbeShared)));
    if (!shared) throw EFailure("cannot map the probe's section");
    *shared = TFontProbeShared{};
    shared->Window = reinterpret_cast<UINT_PTR>(wnd);

    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring library(self, length);
    library = library.substr(0, library.find_last_of(L"\\/") + 1) + L"uidriver_probe.dll";
    const size_t bytes = (library.size() + 1) * sizeof(wchar_t);
    TUniqueFile process(::OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                          PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid));
    if (!process.Get()) throw EFailure("cannot open the control's process");
    void* remote = ::VirtualAllocEx(process.Get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !::WriteProcessMemory(process.Get(), remote, library.c_str(), bytes, nullptr))
        throw EFailure("cannot pass the probe's name to the control's process");
    // kernel32 lies at the same address in every process of a session.
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = ::CreateRemoteThread(process.Get(), nullptr, 0, loadLibrary, remote, 0, nullptr);
    if (!thread) throw EFailure("cannot start the probe in the control's process");
    const DWORD waited = ::WaitForSingleObject(done.Get(), 5000);
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
    ::VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    const TFontProbeShared result = *shared;
    ::UnmapViewOfFile(shared);
    if (waited != WAIT_OBJECT_0) throw EFailure("the probe did not answer");
    if (result.Status == 2) throw EFailure("the control has no font of its own");
    if (result.Status != 1) throw EFailure("the probe could not read the font");
    return result.Font;
}

}  // namespace

int CmdFont(const TArgs& args) {
    HWND top = WaitTopLevel(args);
    HWND wnd = HasChildQuery(args) ? FindChild(top, args) : top;
    const LOGFONTW logFont = ProbeFont(wnd);
    PrintValue("face", logFont.lfFaceName);
    PrintValue("height", static_cast<long long>(logFont.lfHeight));
    PrintValue("weight", static_cast<long long>(logFont.lfWeight));
    PrintValue("italic", logFont.lfItalic ? 1 : 0);
    PrintValue("charset", static_cast<long long>(logFont.lfCharSet));
    return 0;
}

int CmdTextWidth(const TArgs& args) {
    if (args.Positional().size() != 1) throw EUsage("text-width TEXT");
    TUniqueFont font(::CreateFontW(args.Number(L"height", -13), 0, 0, 0, args.Number(L"weight", FW_NORMAL), 0, 0, 0,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, args.Text(L"face", L"Tahoma").c_str()));
    TWindowDC screen(nullptr);
    TSelectedObject selected(screen.Get(), font.Get());
    const std::wstring& text = args.Positional()[0];
    SIZE size{};
    ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    PrintValue("width", static_cast<long long>(size.cx));
    PrintValue("height", static_cast<long long>(size.cy));
    return 0;
}

int CmdHold(const TArgs& args) {
    if (args.Positional().size() != 1) throw EUsage("hold PATH");
    const std::wstring& path = args.Positional()[0];
    // Share mode 0: nobody else may open, replace or delete the file meanwhile.
    TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!file.Valid()) throw EFailure("cannot open " + Utf8(path) + " (error " + std::to_string(::GetLastError()) + ")");
    Print("holding=1");
    const std::wstring until = args.Text(L"until");
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(args.Number(L"timeout", 60000));
    while (::GetTickCount64() < deadline) {
        if (!until.empty() && ::GetFileAttributesW(until.c_str()) != INVALID_FILE_ATTRIBUTES) break;
        ::Sleep(50);
    }
    Print("released=1");
    return 0;
}
