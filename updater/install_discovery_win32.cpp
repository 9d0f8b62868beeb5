// Install discovery handlers of the main window. For now only the start-up
// step is here: showing the window checks the automatic option. The search,
// the marker check and the manual selection replace this file.
#include "updater/main_form_win32.h"

void TForm1::FormShow(TObject*) { sRadioButton1->SetChecked(true); }

void TForm1::sRadioButton1Click(TObject*) {}

void TForm1::sRadioButton2Click(TObject*) {}

void TForm1::sRadioButton2MouseUp(TObject*, TMouseButton, TShiftState, int, int) {}
