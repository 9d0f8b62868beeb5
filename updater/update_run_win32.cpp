// The start button's handler: the update run. Not part of the build's windows
// work; the update run replaces this file.
#include "updater/main_form_win32.h"

void TForm1::Button1Click(TObject*) {}
