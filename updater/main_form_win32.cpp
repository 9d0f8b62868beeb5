// TForm1's handlers. Showing the window checks the automatic option, whose
// click runs the search; any mouse release over the manual option runs the
// open-file dialog; the start button runs the update. The rules they follow
// are portable (install_discovery, update_run); here the main window and the
// completion window stand in for the windows those rules talk to.
#include "updater/main_form_win32.h"

#include <optional>

#include "base/executable_path_win32.h"
#include "base/file_system.h"
#include "toolkit/application_win32.h"
#include "toolkit/modal_scope_win32.h"
#include "updater/done_form_win32.h"
#include "updater/install_files.h"
#include "updater/install_discovery.h"
#include "updater/locale_text_win32.h"
#include "updater/open_dialog.h"
#include "updater/open_dialog_win32.h"
#include "updater/own_seal_win32.h"
#include "updater/update_run.h"
#include "updater/updater_texts.h"

TForm1* Form1 = nullptr;
UString InstallFolder;
UString ArchivePath;

namespace {

// One past the only filter: the dialog then shows that filter.
constexpr int kFilterIndex = 2;

// TMainWindowDiscovery shows the discovery's results on the main window.
class TMainWindowDiscovery final : public TDiscoveryWindow {
public:
    explicit TMainWindowDiscovery(TForm1& form) : FForm(form) {}

    void EnableStart(bool enabled) override { FForm.Button1->SetEnabled(enabled); }
    void ShowWarning(bool visible) override { FForm.sImage2->SetVisible(visible); }
    void ShowFoundPath(const UString& path) override { FForm.Label2->SetCaption(path); }
    void ShowChosenPath(const UString& path) override { FForm.Label1->SetCaption(path); }
    void DisableAutomaticOption() override { FForm.sRadioButton1->SetEnabled(false); }

    std::optional<UString> ChooseExecutable() override {
        TOpenDialogSettings settings{UString(kFilterText), UString(kFilterPattern), kFilterIndex,
                                     DialogFolder(CurrentFolder()), nullptr, nullptr};
        const HWND active = ::GetActiveWindow();
        settings.PlaceBeside = active ? active : FForm.Handle();
        // The program's windows are disabled and step back from the top while the dialog is open.
        TModalScope modal;
        settings.Owner = Application ? Application->Handle() : modal.Owner();
        return RunOpenDialog(settings);
    }

private:
    TForm1& FForm;  // we don't own it
};

// TFormsUpdateWindow shows the update run's outcome with the program's windows.
class TFormsUpdateWindow final : public TUpdateRunWindow {
public:
    // ShowCompletion shows the one completion window, modeless; showing it
    // again after a second press activates it, which brings it to the front.
    void ShowCompletion() override { Form2->Show(); }
    void ShowPlainMessage(const UString& text) override { Application->ShowPlainMessage(text); }
};

}  // namespace

void TForm1::FormShow(TObject*) { sRadioButton1->SetChecked(true); }

void TForm1::sRadioButton1Click(TObject*) {
    TMainWindowDiscovery window(*this);
    TSystemFileSystem files;
    TSystemLocaleText text;
    SelectAutomatically(window, files, text, InstallFolder);
}

// The manual option's click does nothing: only a mouse release over it opens
// the dialog, so choosing it by keyboard never does.
void TForm1::sRadioButton2Click(TObject*) {}

void TForm1::sRadioButton2MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    TMainWindowDiscovery window(*this);
    TSystemFileSystem files;
    TSystemLocaleText text;
    SelectManually(window, files, text, InstallFolder);
}

void TForm1::Button1Click(TObject*) {
    TFormsUpdateWindow window;
    TSystemFileSystem files;
    RunUpdate(window, files, ExecutablePath(), InstallFolder, ArchivePath, OwnSeal());
}

std::vector<TFieldBinding> TForm1::FieldTable() {
    return {Field(u"Button1", Button1),           Field(u"sImage1", sImage1), Field(u"sRadioButton1", sRadioButton1),
            Field(u"sRadioButton2", sRadioButton2), Field(u"sImage2", sImage2), Field(u"Label2", Label2),
            Field(u"Label1", Label1)};
}

std::vector<TMethodBinding> TForm1::MethodTable() {
    return {Method(u"Button1Click", this, &TForm1::Button1Click),
            Method(u"sRadioButton2Click", this, &TForm1::sRadioButton2Click),
            Method(u"sRadioButton1Click", this, &TForm1::sRadioButton1Click),
            Method(u"FormShow", this, &TForm1::FormShow),
            Method(u"sRadioButton2MouseUp", this, &TForm1::sRadioButton2MouseUp)};
}
