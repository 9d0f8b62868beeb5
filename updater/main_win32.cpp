#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::MessageBoxW(nullptr, L"Kelvo Updater", L"Kelvo Updater", MB_OK);
    return 0;
}
