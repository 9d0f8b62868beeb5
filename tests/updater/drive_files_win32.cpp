#include "tests/updater/drive_files_win32.h"

#include <gtest/gtest.h>

#include "base/win32_handles.h"

TDriveFiles::~TDriveFiles() {
    for (HANDLE held : FHeld) ::CloseHandle(held);
    for (auto it = FMade.rbegin(); it != FMade.rend(); ++it) {
        if (it->IsFolder)
            ::RemoveDirectoryW(W(it->Path));
        else
            ::DeleteFileW(W(it->Path));
    }
}

void TDriveFiles::Folders(const UString& path) {
    // Each folder below the drive root, from the top down.
    for (size_t at = path.find(u'\\', 3); at != UString::npos; at = path.find(u'\\', at + 1)) {
        const UString folder = path.substr(0, at);
        if (::CreateDirectoryW(W(folder), nullptr)) FMade.push_back({folder, true});
    }
}

void TDriveFiles::File(const UString& path) {
    Folders(path);
    const TUniqueFile file(
        ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid()) << "cannot create " << ToUtf8(path) << ": " << ::GetLastError();
    FMade.push_back({path, false});
}

void TDriveFiles::Folder(const UString& path) {
    Folders(path + u'\\');
}

HANDLE TDriveFiles::Held(const UString& path) {
    const HANDLE file = ::CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) FHeld.push_back(file);
    return file;
}
