#include "updater/main_form_win32.h"

TForm1* Form1 = nullptr;
UString InstallFolder;
UString ArchivePath;

std::vector<TFieldBinding> TForm1::FieldTable() {
    return {Field(u"Button1", Button1),           Field(u"sImage1", sImage1), Field(u"sRadioButton1", sRadioButton1),
            Field(u"sRadioButton2", sRadioButton2), Field(u"sImage2", sImage2), Field(u"Label2", Label2),
            Field(u"Label1", Label1)};
}

std::vector<TMethodBinding> TForm1::MethodTable() {
    return {Method(u"Button1Click", this, &TForm1::Button1Click),
            Method(u"sRadioButton2Click", this, &TForm1::sRadioButton2Click),
            Method(u"sRadioButton1Click", this, &TForm1::sRadioButton1Click),
            Method(u"FormShow", this, &TForm1::FormShow),
            Method(u"sRadioButton2MouseUp", this, &TForm1::sRadioButton2MouseUp)};
}
