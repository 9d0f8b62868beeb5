// The plain-text box in its two forms: a task dialog while the system's visual
// style is in force, else a classic message box centred on the primary
// monitor's work area. Both have one button labelled "OK" that answers IDOK.
// The caller opens them inside a TModalScope.
#pragma once

#include <windows.h>

#include "base/text.h"

// ShowTaskDialogBox shows the box as a task dialog; false when there is none
// to show (no visual style in force, or common controls without task dialogs).
bool ShowTaskDialogBox(HWND owner, const UString& title, const UString& text);

// ShowClassicBox shows the box as a classic message box.
void ShowClassicBox(HWND owner, const UString& title, const UString& text);
