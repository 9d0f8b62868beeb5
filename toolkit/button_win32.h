// TButton is the system push button. It is neither a default nor a cancel
// button: Enter and Space press it only while it has the focus.
#pragma once

#include "toolkit/control_win32.h"

class TButton : public TWinControl {
public:
    static constexpr char16_t kClassName[] = u"TButton";

    explicit TButton(TComponent* owner);
    UString ClassName() const override { return kClassName; }

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
};
