#include "toolkit/system_text.h"

UString TrimSystemText(UString text) {
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
    return text;
}
