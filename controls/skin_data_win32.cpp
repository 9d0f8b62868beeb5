#include "controls/skin_data_win32.h"

#include "base/change_value.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_text.h"
#include "toolkit/form_win32.h"
#include "toolkit/theme_library_win32.h"
#include "base/win32_handles.h"

namespace {

UString UpperCase(UString text) {
    if (!text.empty()) ::CharUpperBuffW(const_cast<wchar_t*>(W(text)), DWORD(text.size()));
    return text;
}

TForm* ParentForm(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

}  // namespace

UString DefaultSkinSection(int code, const UString& ownerClassName) {
    switch (code) {
    case kRadioButtonCode:
    case kImageCode:
        return u"CHECKBOX";
    default:
        return ownerClassName;
    }
}

bool ControlIsReady(const TControl* control) {
    if (!control) return false;
    if (const auto* windowed = dynamic_cast<const TWinControl*>(control)) {
        if (!windowed->HandleAllocated() || windowed->CreatingHandle()) return false;
    }
    if (control->InState(csReading) || control->InState(csLoading) || control->InState(csDestroying)) return false;
    return control->Parent() != nullptr;
}

TsCommonData::TsCommonData(TComponent* owner, bool createCacheBmp)
    : FOuterEffects(std::make_unique<TsOuterEffects>()),
      FOwnerControl(dynamic_cast<TControl*>(owner)),
      FOwnerObject(owner) {
    if (createCacheBmp) FCacheBmp = std::make_unique<TBitmap32>();
}

TsCommonData::~TsCommonData() {
    BorderIndex = SkinIndex = Texture = HotTexture = -1;
    GlowID = -1;
    FSkinManager = nullptr;
}

TsSkinManager* TsCommonData::SkinManager() const {
    // Without its own manager a holder uses the default one; no manager is ever
    // created in this program, so both are null.
    return FSkinManager;
}

bool TsCommonData::Skinned(bool /*checkSkinActive*/) const {
    const TsSkinManager* manager = SkinManager();
    if (!manager || SkinIndex < 0) return false;
    if (FOwnerObject && FOwnerObject->InState(csDestroying)) return false;
    // A manager would be asked here whether its skin is active; there is no skin engine.
    return false;
}

bool TsCommonData::Updating() const { return SkinManager() != nullptr && (FUpdating || FUpdateCount > 0); }

void TsCommonData::SetSkinSection(const UString& section) {
    if (section == FSkinSection) return;
    FSkinSection = UpperCase(section);
    if (!SkinManager()) SkinIndex = -1;
    // A control that is loading or has no parent only stores the name; a skin
    // engine would re-skin a live control here, and there is none.
}

void TsCommonData::Loaded() {
    Loading = false;
    if (!FSkinSection.empty()) {
        UpdateIndexes(true);
    } else {
        SetSkinSection(DefaultSkinSection(COC, FOwnerObject ? FOwnerObject->ClassName() : UString()));
    }
    if (!Skinned(false)) return;
}

void TsCommonData::UpdateIndexes(bool updateMain) {
    FBGChanged = true;
    if (updateMain) SkinIndex = -1;
    BGType = 0;
    CtrlSkinState = 2;
    BorderIndex = Texture = HotTexture = -1;
}

void TsCommonData::Invalidate(bool updateNow) {
    if (Loading) return;
    if (!FOwnerControl) return;
    if (FOwnerControl->InState(csDestroying) || FOwnerControl->InState(csLoading)) return;
    FBGChanged = true;
    if (!ControlIsReady(FOwnerControl)) return;
    if (auto* windowed = dynamic_cast<TWinControl*>(FOwnerControl)) {
        if (!windowed->HandleAllocated()) return;
        ::RedrawWindow(windowed->Handle(), nullptr, nullptr, kInvalidateFlags | (updateNow ? RDW_UPDATENOW : 0));
    } else {
        FOwnerControl->Repaint();
    }
}

void TsCommonData::HandleSkinCommand(TMessage& message) {
    if (HIWORD(message.WParam) != scBackgroundChanged) return;
    FBGChanged = true;
    GlowID = -1;
    auto* windowed = dynamic_cast<TWinControl*>(FOwnerControl);
    if (!windowed || !windowed->HandleAllocated()) return;
    ::RedrawWindow(windowed->Handle(), nullptr, nullptr, kMovedRedrawFlags);
    for (TControl* child : windowed->Controls())
        if (!child->InState(csDestroying)) child->Perform(message.Msg, message.WParam, message.LParam);
}

void TsCommonData::StoredValueChanged() {
    Loaded();
    Invalidate(false);
}

bool TsCommonData::ReadProperty(const TFormProperty& property, TFormReader& /*reader*/) {
    const UString& name = property.Name;
    if (name == u"SkinSection") SetSkinSection(TFormReader::String(property));
    else if (name == u"CustomColor") SetCustomColor(TFormReader::Boolean(property));
    else if (name == u"CustomFont") SetCustomFont(TFormReader::Boolean(property));
    else if (name == u"OuterEffects.Visibility")
        FOuterEffects->Visibility =
            TFormReader::Enum<TsOuterVisibility>(property, {{u"ovNone", ovNone}, {u"ovAlways", ovAlways}});
    else return false;
    return true;
}

void TsCtrlSkinData::SetHUEOffset(int value) {
    if (ChangeValue(FHUEOffset, value)) StoredValueChanged();
}

void TsCtrlSkinData::SetSaturation(int value) {
    if (ChangeValue(FSaturation, value)) StoredValueChanged();
}

void TsCtrlSkinData::SetColorTone(int32_t value) {
    if (ChangeValue(FColorTone, value)) StoredValueChanged();
}

bool TsCtrlSkinData::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    const UString& name = property.Name;
    if (name == u"HUEOffset") SetHUEOffset(TFormReader::Integer(property));
    else if (name == u"Saturation") SetSaturation(TFormReader::Integer(property));
    else if (name == u"ColorTone") SetColorTone(TFormReader::Integer(property));
    else return TsCommonData::ReadProperty(property, reader);
    return true;
}

bool ReadSkinDataProperty(TsCommonData& data, const TFormProperty& property, TFormReader& reader) {
    const UString prefix = u"SkinData.";
    if (property.Name.rfind(prefix, 0) != 0) return false;
    TFormProperty inner = property;
    inner.Name = property.Name.substr(prefix.size());
    if (!data.ReadProperty(inner, reader)) TFormReader::UnknownProperty(property);
    return true;
}

bool SkinDataHook(TMessage& message, TsCommonData& data) {
    TControl* control = data.OwnerControl();
    switch (message.Msg) {
    case WM_MOVE:
        // Outer effects (ovAlways) would be refreshed by the parent here; no skin draws them.
        if (data.RepaintIfMoved() && control) {
            data.SetBGChanged(true);
            control->Perform(SM_SKINCOMMAND, MAKEWPARAM(1, scBackgroundChanged), 0);
        }
        return false;
    case WM_UPDATEUISTATE:
        if (VisualStylesActive()) {
            if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->HandleAllocated())
                ThemeLibrary().SetWindowTheme(windowed->Handle(), nullptr, nullptr);
        }
        return false;
    case WM_PARENTNOTIFY:
        if (LOWORD(message.WParam) == WM_CREATE) {
            if (TForm* form = ParentForm(control))
                form->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, scChildCreated), reinterpret_cast<LPARAM>(control));
        }
        return false;
    case CM_SHOWINGCHANGED:
        if (control && control->Visible()) data.Loaded();
        return false;
    case SM_SKINCOMMAND:
        data.HandleSkinCommand(message);
        return false;
    default:
        return false;
    }
}
