#include <cstring>

#include "base/system_text.h"

// Linux builds serve tests, fuzzing and benchmarks: errno texts stand in for
// the Windows system message table.
UString SystemErrorText(uint32_t errorCode) {
    return TrimSystemText(FromUtf8(std::strerror(static_cast<int>(errorCode))));
}
