#include "updater/own_seal_win32.h"

#include <windows.h>

#include "base/win32_handles.h"
#include "updater/updater_texts.h"

TArchiveSeal OwnSeal() {
    TArchiveSeal seal;
    const HRSRC resource = ::FindResourceW(nullptr, W(kSealResourceName), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource) return seal;
    const HGLOBAL loaded = ::LoadResource(nullptr, resource);  // a module's resource: never freed
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || !ParseSeal(static_cast<const uint8_t*>(bytes), ::SizeofResource(nullptr, resource), seal))
        throw EForeignArchive(UString(kForeignArchiveText));
    return seal;
}
