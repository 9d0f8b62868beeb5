// Install discovery handlers of the main window: showing the window checks
// the automatic option, whose click runs the search; any mouse release over
// the manual option runs the open-file dialog.
#include <optional>

#include "toolkit/application_win32.h"
#include "base/win32_handles.h"
#include "updater/file_system_win32.h"
#include "updater/install_discovery.h"
#include "updater/locale_text_win32.h"
#include "updater/main_form_win32.h"
#include "updater/open_dialog.h"
#include "updater/open_dialog_win32.h"
#include "updater/updater_texts.h"

namespace {

// One past the only filter: the dialog then shows that filter.
constexpr int kFilterIndex = 2;

UString CurrentDirectory() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return UString();
    UString folder(needed, u'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, reinterpret_cast<wchar_t*>(folder.data()));
    folder.resize(length < needed ? length : 0);
    return folder;
}

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
        TOpenDialogSettings settings{UString(kFilterText), UString(kFilterPattern), kFilterIndex, DialogFolder(CurrentDirectory()),
                                     nullptr, nullptr};
        const HWND active = ::GetActiveWindow();
        settings.PlaceBeside = active ? active : FForm.Handle();
        // The program's windows are disabled and step back from the top while the dialog is open.
        TModalScope modal;
        settings.Owner = Application ? Application->Handle() : modal.Owner();
        return RunOpenDialog(settings);
    }

private:
    TForm1& FForm;
};

}  // namespace

void TForm1::FormShow(TObject*) { sRadioButton1->SetChecked(true); }

void TForm1::sRadioButton1Click(TObject*) {
    TMainWindowDiscovery window(*this);
    TSystemFileSystem files;
    TSystemLocaleText text;
    SelectAutomatically(window, files, text, InstallFolder);
}

void TForm1::sRadioButton2Click(TObject*) {}

void TForm1::sRadioButton2MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    TMainWindowDiscovery window(*this);
    TSystemFileSystem files;
    TSystemLocaleText text;
    SelectManually(window, files, text, InstallFolder);
}
