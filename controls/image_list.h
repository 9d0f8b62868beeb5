// TCustomImageList is a list of equally sized 32-bit images, and TChangeLink
// the way a control hears of its changes and of its end.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "controls/bitmap32.h"

class TCustomImageList;

class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    // OnChange runs when the list's images change; OnDestroyed when the list goes.
    std::function<void()> OnChange;
    std::function<void()> OnDestroyed;
    TCustomImageList* Sender = nullptr;  // we don't own it
};

class TCustomImageList {
public:
    TCustomImageList(int width, int height) : FWidth(width), FHeight(height) {}
    ~TCustomImageList();
    TCustomImageList(const TCustomImageList&) = delete;
    TCustomImageList& operator=(const TCustomImageList&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }
    // Add appends an image; it is cut or padded (with transparent black) to the list's size.
    void Add(const TBitmap32& image);
    // GetBitmap sizes out to the list's size and fills it with entry index (blank when there is none).
    void GetBitmap(int index, TBitmap32& out) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);

private:
    void Change();

    int FWidth;
    int FHeight;
    std::vector<TBitmap32> FImages;
    std::vector<TChangeLink*> FLinks;  // we don't own them
};

inline TChangeLink::~TChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

inline TCustomImageList::~TCustomImageList() {
    const std::vector<TChangeLink*> links = FLinks;
    FLinks.clear();
    for (TChangeLink* link : links) {
        link->Sender = nullptr;
        if (link->OnDestroyed) link->OnDestroyed();
    }
}

inline void TCustomImageList::Add(const TBitmap32& image) {
    TBitmap32 entry(FWidth, FHeight);
    entry.Fill(0, 0, 0, 0);
    for (int y = 0; y < std::min(FHeight, image.Height()); ++y)
        std::copy_n(image.Row(y), size_t(std::min(FWidth, image.Width())) * kBytesPerPixel, entry.Row(y));
    FImages.push_back(std::move(entry));
    Change();
}

inline void TCustomImageList::GetBitmap(int index, TBitmap32& out) const {
    if (index >= 0 && index < Count()) {
        out = FImages[size_t(index)];
        return;
    }
    out = TBitmap32(FWidth, FHeight);
    out.Fill(0, 0, 0, 0);
}

inline void TCustomImageList::RegisterChanges(TChangeLink* link) {
    link->Sender = this;
    FLinks.push_back(link);
}

inline void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
    link->Sender = nullptr;
}

inline void TCustomImageList::Change() {
    for (TChangeLink* link : FLinks)
        if (link->OnChange) link->OnChange();
}
