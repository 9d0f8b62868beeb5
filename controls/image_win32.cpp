#include "controls/image_win32.h"

#include <algorithm>

#include "controls/compose.h"
#include "controls/draw_surface_win32.h"
#include "controls/resample.h"
#include "base/change_value.h"
#include "base/finally.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_text.h"

namespace {

// FitProportionally fits w x h into width x height keeping its aspect ratio.
TSize FitProportionally(int w, int h, int width, int height) {
    const double ratio = double(w) / h;
    if (w > h) {
        TSize size{width, int(width / ratio)};
        if (size.Height > height) size = {int(height * ratio), height};
        return size;
    }
    TSize size{int(height * ratio), height};
    if (size.Width > width) size = {width, int(width / ratio)};
    return size;
}

}  // namespace

// ---- TImage ---------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
    FPicture.OnChange = [this] { PictureChanged(); };
}

void TImage::SetStretch(bool value) {
    if (ChangeValue(FStretch, value)) PictureChanged();
}

void TImage::SetCenter(bool value) {
    if (ChangeValue(FCenter, value)) PictureChanged();
}

void TImage::SetProportional(bool value) {
    if (ChangeValue(FProportional, value)) PictureChanged();
}

void TImage::SetTransparent(bool value) {
    if (ChangeValue(FTransparent, value)) PictureChanged();
}

void TImage::SetAutoSize(bool value) {
    if (ChangeValue(FAutoSize, value)) PictureChanged();
}

TSize TImage::AutoSizeSource() const { return {FPicture.Width(), FPicture.Height()}; }

void TImage::PictureChanged() {
    const TSize source = AutoSizeSource();
    if (FAutoSize && source.Width > 0 && source.Height > 0) SetBounds(Left(), Top(), source.Width, source.Height);
    bool opaque = false;
    if (const TGraphic* graphic = FPicture.Graphic()) {
        // The graphic's own transparency decides (a PNG picture's comes from its data).
        const TRect dest = DestRect();
        opaque = !graphic->Transparent() && dest.Left <= 0 && dest.Top <= 0 && dest.Right >= Width() &&
                 dest.Bottom >= Height();
    }
    SetControlStyle(opaque ? TControlStyle(ControlStyle() | csOpaque) : TControlStyle(ControlStyle() & ~csOpaque));
    if (!FDrawing) Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture.Width();
    int h = FPicture.Height();
    const int width = Width();
    const int height = Height();
    if (FStretch || (FProportional && (w > width || h > height))) {
        if (FProportional && w > 0 && h > 0) {
            const TSize fit = FitProportionally(w, h, width, height);
            w = fit.Width;
            h = fit.Height;
        } else {
            w = width;
            h = height;
        }
    }
    int x = 0;
    int y = 0;
    if (FCenter) {
        x = (width - w) / 2;
        y = (height - h) / 2;
    }
    return {x, y, x + w, y + h};
}

void TImage::Paint(HDC dc) {
    FDrawing = true;
    TryFinally(
        [&] {
            const TGraphic* graphic = FPicture.Graphic();
            if (!graphic || graphic->Empty()) return;
            THdcSurface surface(dc);
            graphic->Draw(surface, DestRect());
        },
        [&] { FDrawing = false; });
}

bool TImage::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    const UString& name = property.Name;
    if (name == u"Picture.Data") FPicture.LoadFromData(TFormReader::Bytes(property));
    else if (name == u"Stretch") SetStretch(TFormReader::Boolean(property));
    else if (name == u"Center") SetCenter(TFormReader::Boolean(property));
    else if (name == u"Proportional") SetProportional(TFormReader::Boolean(property));
    else if (name == u"Transparent") SetTransparent(TFormReader::Boolean(property));
    else if (name == u"AutoSize") SetAutoSize(TFormReader::Boolean(property));
    else if (name == u"IncrementalDisplay") FIncrementalDisplay = TFormReader::Boolean(property);
    else return TGraphicControl::ReadProperty(property, reader);
    return true;
}

// ---- TsCustomImage ---------------------------------------------------------

TsCustomImage::TsCustomImage(TComponent* owner)
    : TImage(owner), FImageChangeLink(std::make_unique<TChangeLink>()),
      FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
    FCommonData->COC = kImageCode;
    FImageChangeLink->OnChange = [this] { FCommonData->Invalidate(false); };
    FImageChangeLink->OnDestroyed = [this] {
        FImages = nullptr;
        UpdateImage();
    };
    // What runs after construction: the holder's loading ends and its default section applies.
    FCommonData->Loaded();
}

TsCustomImage::~TsCustomImage() {
    Destroying();
    FCommonData.reset();
    FImageChangeLink.reset();
}

void TsCustomImage::Loaded() {
    TImage::Loaded();
    FCommonData->Loaded();
}

void TsCustomImage::SetGrayed(bool value) {
    if (ChangeValue(FGrayed, value)) FCommonData->Invalidate(false);
}

void TsCustomImage::SetReflected(bool value) {
    if (ChangeValue(FReflected, value)) FCommonData->Invalidate(false);
}

void TsCustomImage::SetBlend(uint8_t value) {
    if (ChangeValue(FBlend, std::min<uint8_t>(value, 100))) FCommonData->Invalidate(false);
}

void TsCustomImage::SetImageIndex(int value) {
    if (ChangeValue(FImageIndex, value)) FCommonData->Invalidate(false);
}

void TsCustomImage::SetUseFullSize(bool value) {
    if (ChangeValue(FUseFullSize, value)) FCommonData->Invalidate(false);
}

void TsCustomImage::SetImages(TCustomImageList* images) {
    if (images == FImages) return;
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages = images;
    if (FImages) FImages->RegisterChanges(FImageChangeLink.get());
    UpdateImage();
}

bool TsCustomImage::ImageListEntryApplies() const {
    return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

bool TsCustomImage::Empty() {
    if (ImageListEntryApplies()) return false;
    // A picture without a graphic gets an empty bitmap, which counts as empty.
    if (!Picture().Graphic()) Picture().SetGraphic(std::make_unique<TBitmap>());
    return Picture().Graphic()->Empty();
}

void TsCustomImage::UpdateImage() {
    if (InState(csLoading) || InState(csDestroying)) return;
    Repaint();
}

TSize TsCustomImage::AutoSizeSource() const {
    TSize size{Picture().Width(), Picture().Height()};
    if (FImages && FImageIndex >= 0 && FImageIndex <= FImages->Count()) size = {FImages->Width(), FImages->Height()};
    if (FUseFullSize && FReflected) size.Height += size.Height / 2;
    return size;
}

TSize TsCustomImage::ComputeImageSize(bool scaled) const {
    TSize natural{Picture().Width(), Picture().Height()};
    if (FImages && FImageIndex >= 0) natural = {FImages->Width(), FImages->Height()};
    if (natural.Width == 0 || natural.Height == 0 || !scaled) return natural;
    // The reflection takes the bottom third of the control.
    const int available = FReflected ? 2 * Height() / 3 : Height();
    if (Proportional()) return FitProportionally(natural.Width, natural.Height, Width(), available);
    return {Width(), available};
}

void TsCustomImage::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (Visible()) FCommonData->SetBGChanged(true);
        break;
    case WM_ERASEBKGND:
        message.Result = 0;  // swallowed: the buffer covers the whole control
        return;
    case CM_VISIBLECHANGED:
        FCommonData->SetBGChanged(true);
        FCommonData->SetMouseAbove(false);
        break;
    case WM_PAINT:
        PaintHandler(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return;
    default:
        break;
    }
    TImage::WndProc(message);
}

void TsCustomImage::PaintHandler(HDC dc) {
    if (Empty()) {
        TImage::Paint(dc);
        return;
    }
    const int saved = ::SaveDC(dc);
    TryFinally(
        [&] {
            FCommonData->UpdateIndexes(true);
            THdcSurface surface(dc);
            RebuildBuffer(surface);
            const TBitmap32& buffer = *FCommonData->CacheBmp();
            surface.WritePixels(TRect{0, 0, buffer.Width(), buffer.Height()}, buffer);
        },
        [&] { ::RestoreDC(dc, saved); });
}

void TsCustomImage::RebuildBuffer(TDrawSurface& surface) {
    TBitmap32& buffer = *FCommonData->CacheBmp();
    buffer.SetSize(std::max(Width(), 0), std::max(Height(), 0));
    // The window has filled the area and painted the earlier controls in this
    // pass, so this copies exactly what lies beneath the control.
    if (Transparent()) surface.ReadPixels(TRect{0, 0, buffer.Width(), buffer.Height()}, buffer);
    DrawPicture();
    FCommonData->SetBGChanged(false);
}

void TsCustomImage::DrawPicture() {
    TBitmap32& buffer = *FCommonData->CacheBmp();
    const TSize target = ComputeImageSize(Stretch());
    auto offsetFor = [&](int tw, int th) {
        if (Center() && (!Stretch() || Proportional()))
            return TPoint{(Width() - tw) / 2, (Height() - th - (FUseFullSize ? th / 2 : 0)) / 2};
        return TPoint{0, 0};
    };
    TBitmap32 work;
    if (FImages && FImageIndex >= 0) {
        FImages->GetBitmap(FImageIndex, work);
        if (Stretch()) {
            TBitmap32 resampled(target.Width, target.Height);
            ResampleBitmap(work, resampled, target.Width, target.Height);
            work = std::move(resampled);
        }
    } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(Picture().Graphic())) {
        if (bitmap->Empty()) return;
        work = bitmap->Pixels();
        if (Stretch()) {
            TBitmap32 resampled(target.Width, target.Height);
            ResampleBitmap(work, resampled, target.Width, target.Height);
            work = std::move(resampled);
        }
    } else {
        // The picture composes itself over what the buffer holds where it will land.
        const TPoint at = offsetFor(target.Width, target.Height);
        TBitmapSurface(buffer).ReadPixels(TRect{at.X, at.Y, at.X + target.Width, at.Y + target.Height}, work);
        TBitmapSurface workSurface(work);
        Picture().Graphic()->Draw(workSurface, TRect{0, 0, target.Width, target.Height});
        SetAlphaInRect(work, TRect{0, 0, target.Width, target.Height}, 255);
    }
    const TPoint at = offsetFor(work.Width(), work.Height());
    ComposeOver(TRect{at.X, at.Y, at.X + work.Width(), at.Y + work.Height()}, TRect{0, 0, work.Width(), work.Height()},
                buffer, &work, FBlend, FGrayed, FReflected);
}

bool TsCustomImage::ReadProperty(const TFormProperty& property, TFormReader& reader) {
    if (ReadSkinDataProperty(*FCommonData, property, reader)) return true;
    const UString& name = property.Name;
    if (name == u"Blend") {
        SetBlend(uint8_t(std::clamp(TFormReader::Integer(property), 0, 100)));
    } else if (name == u"Grayed") {
        SetGrayed(TFormReader::Boolean(property));
    } else if (name == u"Reflected") {
        SetReflected(TFormReader::Boolean(property));
    } else if (name == u"ImageIndex") {
        SetImageIndex(TFormReader::Integer(property));
    } else if (name == u"UseFullSize") {
        SetUseFullSize(TFormReader::Boolean(property));
    } else {
        return TImage::ReadProperty(property, reader);
    }
    return true;
}
