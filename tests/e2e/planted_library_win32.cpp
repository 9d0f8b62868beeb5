// planted_library.dll stands for a stranger's DLL put beside the updater under
// a system library's name (uxtheme.dll, version.dll ...). Whenever a process
// loads it, it appends that process's executable path to a marker file next
// to itself, named after itself: C:\Updater\uxtheme.dll.loaded.
#include <windows.h>

namespace {

void WriteMarker(HMODULE self) {
    wchar_t marker[MAX_PATH + 16];
    const DWORD length = ::GetModuleFileNameW(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ::lstrcatW(marker, L".loaded");
    wchar_t host[MAX_PATH + 2];
    DWORD hostLength = ::GetModuleFileNameW(nullptr, host, MAX_PATH);
    host[hostLength++] = L'\n';
    HANDLE file = ::CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, host, hostLength * sizeof(wchar_t), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WriteMarker(self);
    return TRUE;
}
