// Lower-casing and comparing under the process's locale identifier. The
// identifier is read from the thread locale when the program starts (US
// English when that answers 0) and read again whenever Windows announces
// changed settings, after the thread locale has been reset to the user's
// default, so a user who changes the locale while the program runs gets the
// new casing rules (a Turkish locale lower-cases I to the dotless i).
#pragma once

#include <windows.h>

#include "updater/locale_text.h"

// ProcessLocale is the locale identifier the program's text rules use.
LCID ProcessLocale();

// RefreshProcessLocale reads the identifier again; it belongs to the
// handling of WM_SETTINGCHANGE.
void RefreshProcessLocale();

class TSystemLocaleText final : public TLocaleText {
public:
    explicit TSystemLocaleText(LCID locale = ProcessLocale()) : FLocale(locale) {}
    UString Lower(const UString& text) override;
    bool Same(const UString& a, const UString& b) override;

private:
    LCID FLocale;
};
