// The start button's handler: the update run with the program's own windows,
// the executable's path as the system reports it, and the system's file calls.
#include "base/executable_path_win32.h"
#include "toolkit/application_win32.h"
#include "updater/done_form_win32.h"
#include "updater/file_system_win32.h"
#include "updater/main_form_win32.h"
#include "updater/update_run.h"

namespace {

// TFormsUpdateWindow shows the update run's outcome with the program's windows.
class TFormsUpdateWindow final : public TUpdateRunWindow {
public:
    // ShowCompletion shows the one completion window, modeless; showing it
    // again after a second press activates it, which brings it to the front.
    void ShowCompletion() override { Form2->Show(); }
    void ShowPlainMessage(const UString& text) override { Application->ShowPlainMessage(text); }
};

}  // namespace

void TForm1::Button1Click(TObject*) {
    TFormsUpdateWindow window;
    TSystemFileSystem files;
    RunUpdate(window, files, ExecutablePath(), InstallFolder, ArchivePath);
}
