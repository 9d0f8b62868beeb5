// TsCommonData is the skin data holder that every skinnable control owns and
// publishes as SkinData. It records the skin section the control asks for and,
// when a skin manager exists, that section's indexes in the manager's skin. No
// window of this program holds a skin manager, so the holder always runs in its
// unskinned state: Skinned is false, every index stays -1, and its visible
// effects are the redraw after a move, the theme reset on a UI-state change
// and Invalidate.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "controls/bitmap32.h"
#include "toolkit/control_win32.h"

// The skin engine's private command message; the sub-command is HIWORD(wParam).
constexpr UINT SM_SKINCOMMAND = 0xA100;
constexpr WORD scBackgroundChanged = 20;  // the background is stale: repaint (after a move)
constexpr WORD scChildCreated = 25;       // a child control was created on the form

// Control type codes that select a default skin section.
constexpr int kRadioButtonCode = 33;
constexpr int kImageCode = 50;

// RedrawWindow flags of Invalidate and of the redraw after a move.
constexpr UINT kInvalidateFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;  // 0x485
constexpr UINT kMovedRedrawFlags = RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN;  // 0xB1

enum TsOuterVisibility : uint8_t { ovNone, ovAlways };

// TsOuterEffects holds the outer-effect settings; only a skin gives them effect.
struct TsOuterEffects {
    TsOuterVisibility Visibility = ovNone;
};

// TsSkinManager is the skin engine's manager. This program never creates one;
// the holder only ever sees a null manager.
class TsSkinManager;

class TsCommonData {
public:
    // The owner is the control that owns the holder; with createCacheBmp the
    // holder also owns the control's paint buffer.
    TsCommonData(TComponent* owner, bool createCacheBmp);
    virtual ~TsCommonData();
    TsCommonData(const TsCommonData&) = delete;
    TsCommonData& operator=(const TsCommonData&) = delete;

    // Skinned is true only while a skin manager with a valid section index exists.
    bool Skinned(bool checkSkinActive = false) const;
    // Loaded ends the loading state and applies the default section.
    virtual void Loaded();
    // Invalidate asks for a repaint of the owner control, at once with updateNow.
    void Invalidate(bool updateNow = false);
    // UpdateIndexes resolves the section in the manager's skin; with no manager
    // every index becomes -1 and the background is marked stale.
    void UpdateIndexes(bool updateMain = true);
    bool RepaintIfMoved() const { return true; }
    bool Updating() const;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { if (FUpdateCount > 0) --FUpdateCount; }

    const UString& SkinSection() const { return FSkinSection; }
    // SetSkinSection stores the name upper-cased.
    void SetSkinSection(const UString& section);
    TsSkinManager* SkinManager() const;
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool value) { FCustomColor = value; }
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool value) { FCustomFont = value; }
    TsOuterEffects& OuterEffects() { return *FOuterEffects; }
    bool BGChanged() const { return FBGChanged; }
    void SetBGChanged(bool changed) { FBGChanged = changed; }
    bool MouseAbove() const { return FMouseAbove; }
    void SetMouseAbove(bool above) { FMouseAbove = above; }

    // The control type code, set by the owning control.
    int COC = 0;
    bool Loading = true;
    int BorderIndex = -1;
    int SkinIndex = -1;
    int Texture = -1;
    int HotTexture = -1;
    int GlowID = -1;
    bool HalfVisible = true;
    uint16_t CtrlSkinState = 2;
    uint16_t BGType = 0;
    HDC PrintDC = nullptr;  // we don't own it
    RECT InvalidRectH{};
    RECT InvalidRectV{};

    TControl* OwnerControl() const { return FOwnerControl; }
    TComponent* OwnerObject() const { return FOwnerObject; }
    // CacheBmp is the owner's paint buffer, or null for a holder without one.
    TBitmap32* CacheBmp() const { return FCacheBmp.get(); }

    // ReadProperty reads "SkinSection" and the other stored settings (the name
    // without the "SkinData." prefix).
    virtual bool ReadProperty(const TFormProperty& property, TFormReader& reader);

    // HandleSkinCommand answers the skin command message for the owner.
    void HandleSkinCommand(TMessage& message);

protected:
    void StoredValueChanged();

private:
    TBitmap32* FOuterCache = nullptr;  // skinned only; never set here
    UString FSkinSection;
    bool FCustomFont = false;
    bool FCustomColor = false;
    int FUpdateCount = 0;
    std::unique_ptr<TsOuterEffects> FOuterEffects;
    bool FUpdating = false;
    TsSkinManager* FSkinManager = nullptr;  // we don't own it
    TControl* FOwnerControl;                // we don't own it
    TComponent* FOwnerObject;               // we don't own it
    std::unique_ptr<TBitmap32> FCacheBmp;
    bool FFocused = false;
    bool FMouseAbove = false;
    bool FBGChanged = true;

protected:
    int32_t FColorTone = 0x1FFFFFFF;
    int FHUEOffset = 0;
    int FSaturation = 0;
};

// TsCtrlSkinData is the holder of controls that paint through a buffer; it
// also stores hue, saturation and tone settings (which only a skin uses).
class TsCtrlSkinData : public TsCommonData {
public:
    using TsCommonData::TsCommonData;
    int HUEOffset() const { return FHUEOffset; }
    void SetHUEOffset(int value);
    int Saturation() const { return FSaturation; }
    void SetSaturation(int value);
    int32_t ColorTone() const { return FColorTone; }
    void SetColorTone(int32_t value);
    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;
};

// ReadSkinDataProperty reads a control's stored "SkinData.Name" setting into
// its holder, a name the holder does not know raising the reader's unknown-property
// error; it is false, reading nothing, for a property without that prefix.
bool ReadSkinDataProperty(TsCommonData& data, const TFormProperty& property, TFormReader& reader);

// ControlIsReady: the control exists, has its window if it is windowed, is not
// creating its window, is neither read, loaded nor destroyed, and has a parent.
bool ControlIsReady(const TControl* control);

// SkinDataHook is the holder's message hook, which a ready control passes every
// message through before handling it; its result is not used.
bool SkinDataHook(TMessage& message, TsCommonData& data);

// DefaultSkinSection is the section for a control type code: "CHECKBOX" for the
// radio button and image codes, else the owner's class name.
UString DefaultSkinSection(int code, const UString& ownerClassName);
