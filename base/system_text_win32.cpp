#include <windows.h>

#include "base/system_text.h"
#include "base/win32_handles.h"

UString SystemErrorText(uint32_t errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
            FORMAT_MESSAGE_ARGUMENT_ARRAY,
        nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    UString text;
    const TUniqueLocal owned(buffer);
    if (length != 0 && buffer != nullptr) text = FromW(buffer, length);
    return TrimSystemText(std::move(text));
}
