// TModalScope disables the program's windows and suspends their stay-on-top
// state while a modal box is open, and puts everything back afterwards.
#pragma once

#include <windows.h>

#include <vector>

class TModalScope {
public:
    TModalScope();
    ~TModalScope();
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;
    // Owner is the box's owner: the active window, else the application window.
    HWND Owner() const { return FOwner; }

private:
    void MoveApplicationToActiveMonitor(HWND app);

    HWND FOwner = nullptr;
    HWND FActive = nullptr;  // we don't own it
    HWND FFocus = nullptr;   // we don't own it
    std::vector<HWND> FDisabled;
    RECT FAppRect{};
    bool FAppMoved = false;
};
