// Program entry: the start-up steps, the two windows and the message loop.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "archive/zip_handlers.h"
#include "base/system_library_win32.h"
#include "base/win32_handles.h"
#include "controls/picture_classes.h"
#include "toolkit/application_win32.h"
#include "updater/done_form_win32.h"
#include "updater/locale_text_win32.h"
#include "updater/main_form_win32.h"
#include "updater/version_switch.h"

namespace {

// RegisterStartupClasses registers what the windows' definitions and the
// update need before any window exists: the picture classes and the archive's
// compression handlers for stored and deflated entries.
void RegisterStartupClasses() {
    RegisterDefaultCompressionHandlers();
    RegisterDefaultPictureClasses();
}

// ShowVersionIfAsked shows the version box when a parameter is "/vmver".
void ShowVersionIfAsked() {
    int count = 0;
    // Found at run time, as every library the program does not need to start.
    const TUniqueModule shell = LoadSystemLibrary(L"shell32.dll");
    const auto splitCommandLine = LibraryEntry<decltype(&::CommandLineToArgvW)>(shell.Get(), "CommandLineToArgvW");
    LPWSTR* arguments = splitCommandLine ? splitCommandLine(::GetCommandLineW(), &count) : nullptr;
    const TUniqueLocal argumentsMemory(arguments);
    std::vector<UString> parameters;
    for (int i = 1; i < count; ++i) parameters.push_back(FromW(arguments[i]));
    if (HasVersionSwitch(parameters)) Application->ShowPlainMessage(UString(kVersionText));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    TrustOnlyAdministratorsLinks();
    RestrictLibrarySearch();
    RegisterStartupClasses();
    TApplication application;
    // A changed user locale changes the casing rules of the install search.
    application.OnSettingChange = RefreshProcessLocale;
    ShowVersionIfAsked();
    try {
        application.CreateForm(Form1);
        application.CreateForm(Form2);
    } catch (...) {
        application.HandleException(std::current_exception());
        return 0;
    }
    application.Run();
    return 0;
}
