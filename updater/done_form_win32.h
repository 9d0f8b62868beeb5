// TForm2, the completion window: one picture; closing it ends the program.
#pragma once

#include "controls/image_win32.h"
#include "toolkit/form_win32.h"

class TForm2 : public TForm {
public:
    static constexpr char16_t kClassName[] = u"TForm2";
    using TForm::TForm;
    UString ClassName() const override { return kClassName; }

    TsImage* sImage1 = nullptr;

    void FormClose(TObject* sender, TCloseAction& action);

    std::vector<TFieldBinding> FieldTable() override;
    std::vector<TMethodBinding> MethodTable() override;
};

extern TForm2* Form2;
