// TApplication is the program's one application object: its title and icon,
// the invisible application window that owns every form and carries the
// taskbar entry, the message loop, and the default error display.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_win32.h"
#include "base/text.h"
#include "base/win32_handles.h"

class TApplication : public TComponent {
public:
    static constexpr char16_t kClassName[] = u"TApplication";

    // The constructor initialises OLE for the thread, derives the title from
    // the executable's name, loads the icon MAINICON and creates the window.
    TApplication();
    ~TApplication() override;
    UString ClassName() const override { return kClassName; }

    const UString& Title() const { return FTitle; }
    HWND Handle() const { return FHandle; }
    HICON Icon() const { return FIcon; }
    TForm* MainForm() const { return FMainForm; }

    // CreateForm creates a form from the definition stored under its class
    // name; the first form created becomes the main form.
    template <class T>
    void CreateForm(T*& reference) {
        T* form = CreateOwned<T>();
        reference = form;
        ReadFormResource(*form);
        AddForm(form);
    }
    // AddForm registers a form made otherwise (tests build forms from text).
    void AddForm(TForm* form);

    // Run shows the main form and dispatches messages until Terminate.
    void Run();
    // Terminate posts the quit message: the loop ends after the current message.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // ProcessMessages dispatches every message waiting now, then returns.
    void ProcessMessages();

    // HandleException shows an error that escaped a handler (the current one).
    void HandleException(std::exception_ptr error);
    // OnException replaces the error display (tests record the text instead).
    std::function<void(const UString& text)> OnException;
    // OnSettingChange runs when Windows announces changed settings (WM_SETTINGCHANGE).
    std::function<void()> OnSettingChange;

    // MessageBox shows a modal system message box owned by the active window.
    int MessageBox(const UString& text, const UString& caption, UINT flags);
    // ShowPlainMessage shows text with the title as caption and one button
    // labelled "OK": a task dialog while the system's visual style is in force.
    void ShowPlainMessage(const UString& text);
    // ShowClassicPlainMessage is the same box as a classic dialog window,
    // centred on the primary monitor's work area: the form without a task dialog.
    void ShowClassicPlainMessage(const UString& text);

    // While a modal box of the program is open the stay-on-top windows step back.
    void NormalizeTopMosts();
    void RestoreTopMosts();
    bool TopMostAllowed() const { return FTopMostLevel == 0; }

    // Used by the forms.
    void FormActivated(TForm* form) { FActiveForm = form; }
    void MainFormShowing();
    int MainFormShowCommand(const TForm* form);

private:
    void CreateHandle();
    bool IsDialogKey(const MSG& msg);
    void ProcessMessage(MSG& msg);
    static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT AppWndMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    UString FTitle;
    HWND FHandle = nullptr;
    HICON FIcon = nullptr;  // a shared resource icon: never destroyed
    TForm* FMainForm = nullptr;    // we own it through the component list
    TForm* FActiveForm = nullptr;  // we don't own it
    std::vector<TForm*> FForms;    // we own them through the component list
    bool FTerminated = false;
    bool FOleInitialised = false;
    int FTopMostLevel = 0;
    int FStartShowCommand = SW_SHOWNORMAL;
};

// Application is the program's application object while it exists.
extern TApplication* Application;

// HandleEventException shows the exception being handled through the
// application's error display; window procedures call it from their catch.
void HandleEventException();

// ApplicationTitle is the title rule applied to an executable's full path: the
// file name without extension, lower-cased from its second character on.
UString ApplicationTitle(const UString& modulePath);
