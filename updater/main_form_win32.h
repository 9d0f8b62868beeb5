// TForm1, the main window: where Kelvo is installed and the start button.
// Its layout and properties come from its window definition; its handlers
// run the install discovery and the update run.
#pragma once

#include "controls/image_win32.h"
#include "toolkit/button_win32.h"
#include "toolkit/form_win32.h"
#include "toolkit/label_win32.h"
#include "controls/radio_button_win32.h"

class TForm1 : public TForm {
public:
    static constexpr char16_t kClassName[] = u"TForm1";
    using TForm::TForm;
    UString ClassName() const override { return kClassName; }

    TButton* Button1 = nullptr;
    TsImage* sImage1 = nullptr;
    TsRadioButton* sRadioButton1 = nullptr;
    TsRadioButton* sRadioButton2 = nullptr;
    TsImage* sImage2 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label1 = nullptr;

    void Button1Click(TObject* sender);
    void sRadioButton2Click(TObject* sender);
    void sRadioButton1Click(TObject* sender);
    void FormShow(TObject* sender);
    void sRadioButton2MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    std::vector<TFieldBinding> FieldTable() override;
    std::vector<TMethodBinding> MethodTable() override;
};

extern TForm1* Form1;

// The main window's two module texts, empty at start: the accepted install
// folder (lower case, with a trailing backslash) and the archive path.
extern UString InstallFolder;
extern UString ArchivePath;
