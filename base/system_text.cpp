#include "base/system_text.h"

#include <string>

#include "base/base_texts.h"

UString TrimSystemText(UString text) {
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
    return text;
}

void RaiseOSError(uint32_t errorCode) {
    if (errorCode == 0) throw EOSError(UString(kUnknownOSError));
    const std::string code = std::to_string(errorCode);
    throw EOSError(Format(kOSError, {FromUtf8(code), SystemErrorText(errorCode)}));
}
