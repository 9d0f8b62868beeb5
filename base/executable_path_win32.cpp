#include "base/executable_path_win32.h"

#include <string>

#include "base/win32_handles.h"

UString ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return FromW(path.c_str(), length);
        path.resize(path.size() * 2);  // cut short: try again with more room
    }
}
