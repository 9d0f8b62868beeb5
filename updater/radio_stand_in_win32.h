// A plain option control that stands in for the skinnable radio button until
// that control is part of the build: a system radio button that checks itself
// on BN_CLICKED, unchecks its siblings and raises OnClick.
#pragma once

#include "controls/skin_data_win32.h"
#include "toolkit/control_win32.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_text.h"

class TsRadioButton : public TWinControl {
public:
    static constexpr char16_t kClassName[] = u"TsRadioButton";

    explicit TsRadioButton(TComponent* owner) : TWinControl(owner), FCommonData(this, false) {
        SetBounds(0, 0, 20, 20);
        FCommonData.COC = kRadioButtonCode;
        FCommonData.Loaded();
    }
    UString ClassName() const override { return kClassName; }

    bool Checked() const { return FChecked; }
    void SetChecked(bool checked) {
        if (checked == FChecked) return;
        FChecked = checked;
        SetTabStop(checked);
        if (HandleAllocated()) ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!checked) return;
        if (Parent())
            for (TControl* sibling : Parent()->Controls())
                if (auto* radio = dynamic_cast<TsRadioButton*>(sibling); radio && radio != this)
                    radio->SetChecked(false);
        Click();
    }

    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override {
        if (property.Name == u"SkinData.SkinSection") FCommonData.SetSkinSection(TFormReader::String(property));
        else return TWinControl::ReadProperty(property, reader);
        return true;
    }

    void WndProc(TMessage& message) override {
        if (message.Msg == CN_COMMAND) {
            if (HIWORD(message.WParam) == BN_CLICKED) SetChecked(true);
            return;
        }
        TWinControl::WndProc(message);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SystemClassName = u"BUTTON";
        params.Style |= BS_RADIOBUTTON;
    }
    void CreateHandleDone() override {
        TWinControl::CreateHandleDone();
        ::SendMessageW(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    bool FChecked = false;
    TsCommonData FCommonData;
};
