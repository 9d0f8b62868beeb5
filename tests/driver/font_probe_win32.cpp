// uidriver_probe.dll: loaded into the program under test by uidriver (a remote
// LoadLibraryW), it reads one control's font there, where the font handle is
// valid, hands the logical font back through a named section and unloads
// itself. The window procedure is called directly: Wine answers WM_GETFONT
// neither across processes nor across threads.
#include "tests/driver/font_probe.h"

namespace {

HMODULE gSelf = nullptr;

DWORD WINAPI Probe(void*) {
    const DWORD pid = ::GetCurrentProcessId();
    HANDLE section = ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, FontProbeSectionName(pid).c_str());
    HANDLE done = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, FontProbeEventName(pid).c_str());
    if (section && done) {
        auto* shared = static_cast<TFontProbeShared*>(
            ::MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TFontProbeShared)));
        if (shared) {
            HWND wnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(shared->Window));
            auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(wnd, GWLP_WNDPROC));
            HFONT font = proc ? reinterpret_cast<HFONT>(::CallWindowProcW(proc, wnd, WM_GETFONT, 0, 0)) : nullptr;
            if (!font) shared->Status = 2;
            else shared->Status = ::GetObjectW(font, sizeof(shared->Font), &shared->Font) ? 1 : 3;
            ::UnmapViewOfFile(shared);
        }
        ::SetEvent(done);
    }
    if (section) ::CloseHandle(section);
    if (done) ::CloseHandle(done);
    ::FreeLibraryAndExitThread(gSelf, 0);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        gSelf = instance;
        // The loader lock is held here: the work runs on a thread of its own.
        HANDLE thread = ::CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr);
        if (thread) ::CloseHandle(thread);
    }
    return TRUE;
}
