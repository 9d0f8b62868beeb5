#include "controls/picture_classes.h"

#include <utility>

#include "controls/png_picture.h"
#include "base/base_texts.h"
#include "controls/controls_texts.h"

namespace {

struct TPictureClass {
    UString Name;
    TGraphicFactory Factory;
};

// PictureClasses is filled at start-up and only read afterwards.
std::vector<TPictureClass>& PictureClasses() {
    static std::vector<TPictureClass> classes;
    return classes;
}

const TPictureClass* FindPictureClass(const UString& name) {
    const auto& classes = PictureClasses();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it)
        if (it->Name == name) return &*it;
    return nullptr;
}

}  // namespace

void RegisterPictureClass(const UString& className, TGraphicFactory factory) {
    PictureClasses().push_back({className, std::move(factory)});
}

void RegisterDefaultPictureClasses() {
    RegisterPictureClass(u"TPngImage", [] { return std::make_unique<TPngImage>(); });
}

std::unique_ptr<TGraphic> ReadPictureData(const uint8_t* data, size_t size) {
    if (size < 1 || size - 1 < data[0]) throw EReadError(UString(kStreamReadError));
    const size_t nameLength = data[0];
    const UString name = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), nameLength));
    const TPictureClass* pictureClass = FindPictureClass(name);
    if (!pictureClass) return nullptr;
    std::unique_ptr<TGraphic> graphic = pictureClass->Factory();
    graphic->LoadFromBytes(data + 1 + nameLength, size - 1 - nameLength);
    return graphic;
}

std::vector<uint8_t> MakePictureData(const std::string& className, const std::vector<uint8_t>& payload) {
    if (className.size() > 255) throw EArgumentException(UString(kClassNameTooLong));
    std::vector<uint8_t> data;
    data.reserve(1 + className.size() + payload.size());
    data.push_back(static_cast<uint8_t>(className.size()));
    data.insert(data.end(), className.begin(), className.end());
    data.insert(data.end(), payload.begin(), payload.end());
    return data;
}
