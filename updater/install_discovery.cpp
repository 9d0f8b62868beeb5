#include "updater/install_discovery.h"

#include "updater/install_search.h"
#include "updater/updater_texts.h"

namespace {

void AcceptIfMarked(TDiscoveryWindow& window, TFileSystem& files, TLocaleText& text, const UString& path,
                    TSelectionKind kind, UString& installFolder) {
    const std::optional<UString> folder = AcceptedFolder(files, text, path, kind);
    if (!folder) return;
    installFolder = *folder;
    window.EnableStart(true);
}

}  // namespace

void SelectAutomatically(TDiscoveryWindow& window, TFileSystem& files, TLocaleText& text,
                         UString& installFolder) {
    window.EnableStart(false);
    const UString found = SearchInstallation(files, installFolder);
    window.ShowWarning(false);
    if (found != kNotFound) {
        window.ShowFoundPath(found);
        AcceptIfMarked(window, files, text, found, skAutomatic, installFolder);
        return;
    }
    // Nothing found: the option stays checked but can no longer be chosen,
    // so the manual selection is the only way on.
    window.ShowWarning(true);
    window.DisableAutomaticOption();
    window.ShowFoundPath(UString());
}

void SelectManually(TDiscoveryWindow& window, TFileSystem& files, TLocaleText& text,
                    UString& installFolder) {
    window.EnableStart(false);
    window.ShowChosenPath(kPathPlaceholder);
    const std::optional<UString> chosen = window.ChooseExecutable();
    if (!chosen) return;
    window.ShowChosenPath(*chosen);
    AcceptIfMarked(window, files, text, *chosen, skManual, installFolder);
}
