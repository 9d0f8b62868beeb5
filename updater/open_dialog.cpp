#include "updater/open_dialog.h"

UString DialogFolder(UString currentDirectory) {
    const size_t length = currentDirectory.size();
    const bool trailingBackslash = length >= 1 && currentDirectory[length - 1] == u'\\';
    const bool afterColon = length >= 2 && currentDirectory[length - 2] == u':';
    if (trailingBackslash && !afterColon) currentDirectory.pop_back();
    return currentDirectory;
}

TPoint DialogPosition(const TRect& monitor, int width, int height) {
    const int freeWidth = monitor.Width() - width;
    const int freeHeight = monitor.Height() - height;
    return {monitor.Left + freeWidth / 2, monitor.Top + freeHeight / 3};
}
