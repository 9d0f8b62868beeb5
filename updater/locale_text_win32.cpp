#include "updater/locale_text_win32.h"

#include "base/system_text.h"
#include "base/win32_handles.h"

namespace {

constexpr LCID kUsEnglish = 0x0409;

LCID ReadThreadLocale() {
    const LCID locale = ::GetThreadLocale();
    return locale != 0 ? locale : kUsEnglish;
}

// The identifier is taken while the program initialises, before any window exists.
LCID FProcessLocale = ReadThreadLocale();

}  // namespace

LCID ProcessLocale() { return FProcessLocale; }

void RefreshProcessLocale() {
    ::SetThreadLocale(LOCALE_USER_DEFAULT);
    FProcessLocale = ReadThreadLocale();
}

UString TSystemLocaleText::Lower(const UString& text) {
    // The system refuses a length of 0, and an empty text has nothing to lower.
    if (text.empty()) return text;
    UString lowered(text.size(), u'\0');
    const int length = static_cast<int>(text.size());
    const int written = ::LCMapStringW(FLocale, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING, W(text), length,
                                       reinterpret_cast<wchar_t*>(lowered.data()), length);
    if (written == 0) RaiseOSError(::GetLastError());
    lowered.resize(static_cast<size_t>(written));
    return lowered;
}

bool TSystemLocaleText::Same(const UString& a, const UString& b) {
    return ::CompareStringW(FLocale, 0, W(a), static_cast<int>(a.size()), W(b), static_cast<int>(b.size())) ==
           CSTR_EQUAL;
}
