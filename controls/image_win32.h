// The picture controls. TImage shows a picture on its parent; TsCustomImage
// draws through a buffer of its own size that it rebuilds at every paint:
// optionally a copy of what the window painted beneath it, then the picture
// composed over that by its own alpha, then the buffer copied onto the window.
// TsImage only publishes what TsCustomImage does.
#pragma once

#include <memory>

#include "base/geometry.h"
#include "controls/image_list.h"
#include "controls/picture.h"
#include "controls/skin_data_win32.h"
#include "toolkit/control_win32.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    UString ClassName() const override { return u"TImage"; }

    TPicture& Picture() { return FPicture; }
    const TPicture& Picture() const { return FPicture; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;

protected:
    // Paint draws the graphic into DestRect (the base drawing).
    void Paint(HDC dc) override;
    // DestRect is where the base drawing puts the picture.
    TRect DestRect() const;
    // PictureChanged sizes (AutoSize), decides opacity and invalidates.
    virtual void PictureChanged();
    // AutoSizeSource is the size AutoSize follows.
    virtual TSize AutoSizeSource() const;
    bool Drawing() const { return FDrawing; }

private:
    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FIncrementalDisplay = false;
    bool FTransparent = false;
    bool FDrawing = false;
    bool FProportional = false;
    bool FAutoSize = false;
};

class TsCustomImage : public TImage {
public:
    explicit TsCustomImage(TComponent* owner);
    ~TsCustomImage() override;

    TsCtrlSkinData& SkinData() { return *FCommonData; }
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool value);
    bool Reflected() const { return FReflected; }
    void SetReflected(bool value);
    uint8_t Blend() const { return FBlend; }
    void SetBlend(uint8_t value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* images);
    bool UseFullSize() const { return FUseFullSize; }
    void SetUseFullSize(bool value);

    // Empty: no image-list entry applies and the picture has nothing to draw.
    bool Empty();
    // UpdateImage repaints at once unless the control is loading or destroyed.
    void UpdateImage();
    // ComputeImageSize is the picture's size, or its size scaled into the control.
    TSize ComputeImageSize(bool scaled) const;

    void Loaded() override;
    void WndProc(TMessage& message) override;
    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;

    // Every paint rebuilds the buffer; nothing ever clears this.
    bool ImageChanged = true;

protected:
    TSize AutoSizeSource() const override;

private:
    void PaintHandler(HDC dc);
    void RebuildBuffer(TDrawSurface& surface);
    void DrawPicture();
    bool ImageListEntryApplies() const;

    bool FGrayed = false;
    bool FReflected = false;
    uint8_t FBlend = 0;
    std::unique_ptr<TChangeLink> FImageChangeLink;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;  // we don't own it
    std::unique_ptr<TsCtrlSkinData> FCommonData;
    bool FUseFullSize = false;
};

class TsImage : public TsCustomImage {
public:
    static constexpr char16_t kClassName[] = u"TsImage";
    using TsCustomImage::TsCustomImage;
    UString ClassName() const override { return kClassName; }
};
