// TTestHost is the window the controls' tests put their controls on: a plain
// form under a class name of its own.
#pragma once

#include "toolkit/form_win32.h"

class TTestHost : public TForm {
public:
    static constexpr char16_t kClassName[] = u"TControlsTestHost";
    using TForm::TForm;
    UString ClassName() const override { return kClassName; }
};
