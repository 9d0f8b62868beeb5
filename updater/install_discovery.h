// The two ways of finding the install folder, as the main window runs them:
// the automatic search (first option) and the manual selection with the
// open-file dialog (second option). Each disables the start button first and
// enables it only as its last step, after the marker check has accepted a
// folder, so the button is enabled exactly while the install folder holds an
// accepted folder.
#pragma once

#include <optional>

#include "base/text.h"
#include "updater/install_files.h"
#include "updater/locale_text.h"

// TDiscoveryWindow is what the install discovery changes on the main window.
class TDiscoveryWindow {
public:
    virtual ~TDiscoveryWindow() = default;
    virtual void EnableStart(bool enabled) = 0;             // the start button
    virtual void ShowWarning(bool visible) = 0;             // the "cannot find it" picture
    virtual void ShowFoundPath(const UString& path) = 0;    // the automatic row's label
    virtual void ShowChosenPath(const UString& path) = 0;   // the manual row's label
    virtual void DisableAutomaticOption() = 0;              // the first option control
    // ChooseExecutable runs the open-file dialog and answers the chosen
    // file's full path, or nothing when the user cancelled.
    virtual std::optional<UString> ChooseExecutable() = 0;
};

// SelectAutomatically runs the automatic search and, when it finds Kelvo.exe,
// the marker check on it. installFolder is also the search's probe variable.
void SelectAutomatically(TDiscoveryWindow& window, TFileSystem& files, TLocaleText& text,
                         UString& installFolder);

// SelectManually lets the user pick Kelvo.exe and checks the marker beside it.
void SelectManually(TDiscoveryWindow& window, TFileSystem& files, TLocaleText& text,
                    UString& installFolder);
