// What uidriver and its probe library share when the driver reads the font of
// a control inside the program under test: a named section per target process
// holding the control's handle on the way in and its logical font on the way
// out, and an event that the probe sets when it is done.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct TFontProbeShared {
    uint64_t Window = 0;  // the control, in the target process
    int32_t Status = 0;   // 1 read, 2 the control has no font, 3 GetObjectW failed
    LOGFONTW Font{};
};

inline std::wstring FontProbeSectionName(DWORD pid) { return L"uidriver-font-probe-" + std::to_wstring(pid); }
inline std::wstring FontProbeEventName(DWORD pid) { return L"uidriver-font-done-" + std::to_wstring(pid); }
