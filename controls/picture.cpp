#include "controls/picture.h"

#include "controls/controls_texts.h"
#include "controls/picture_classes.h"

void TBitmap::LoadFromBytes(const uint8_t*, size_t) { throw EInvalidGraphic(UString(kBitmapNotStored)); }

void TBitmap::Draw(TDrawSurface& surface, const TRect& r) const {
    if (!Empty()) surface.StretchCopy(r, FPixels, nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    if (OnChange) OnChange();
}

void TPicture::LoadFromData(const std::vector<uint8_t>& data) { SetGraphic(ReadPictureData(data.data(), data.size())); }
