#include "base/error_text.h"

UString DisplayText(const Exception& error) {
    UString text = error.Message();
    for (const Exception* inner = error.InnerException(); inner; inner = inner->InnerException())
        if (!inner->Message().empty()) text = inner->Message();
    return WithFullStop(std::move(text));
}

UString WithFullStop(UString text) {
    if (!text.empty() && text.back() > u'.') text.push_back(u'.');
    return text;
}
