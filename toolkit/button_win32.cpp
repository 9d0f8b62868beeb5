#include "toolkit/button_win32.h"

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = u"BUTTON";
    params.Style |= BS_PUSHBUTTON;
}

void TButton::WndProc(TMessage& message) {
    // The parent hands the button's own BN_CLICKED back to it.
    if (message.Msg == CN_COMMAND) {
        if (HIWORD(message.WParam) == BN_CLICKED) Click();
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}
