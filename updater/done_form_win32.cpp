#include "updater/done_form_win32.h"

#include "toolkit/application_win32.h"

TForm2* Form2 = nullptr;

// FormClose ends the program; the window itself hides (the action stays as it is).
void TForm2::FormClose(TObject*, TCloseAction&) { Application->Terminate(); }

std::vector<TFieldBinding> TForm2::FieldTable() { return {Field(u"sImage1", sImage1)}; }

std::vector<TMethodBinding> TForm2::MethodTable() { return {Method(u"FormClose", this, &TForm2::FormClose)}; }
