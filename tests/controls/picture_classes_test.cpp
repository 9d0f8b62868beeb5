#include "controls/picture_classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/png_picture.h"
#include "tests/controls/picture_files.h"
#include "tests/support/expect_raises.h"
#include "base/base_texts.h"
#include "controls/controls_texts.h"

namespace {

// TTaggedGraphic remembers which factory made it and what it was given.
class TTaggedGraphic : public TGraphic {
public:
    explicit TTaggedGraphic(int tag) : Tag(tag) {}
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    bool Empty() const override { return true; }
    bool Transparent() const override { return false; }
    void LoadFromBytes(const uint8_t* data, size_t size) override { Loaded.assign(data, data + size); }
    void Draw(TDrawSurface&, const TRect&) const override {}

    int Tag;
    std::vector<uint8_t> Loaded;
};

TGraphicFactory Tagged(int tag) {
    return [tag] { return std::make_unique<TTaggedGraphic>(tag); };
}

std::unique_ptr<TGraphic> Read(const std::vector<uint8_t>& data) { return ReadPictureData(data.data(), data.size()); }

TEST(PictureData, PngPictureIsReadByItsRegisteredClass) {
    RegisterDefaultPictureClasses();
    const std::unique_ptr<TGraphic> graphic = Read(MakePictureData("TPngImage", PictureFile("rgba_3x2.png")));
    ASSERT_NE(dynamic_cast<TPngImage*>(graphic.get()), nullptr);
    EXPECT_EQ(graphic->Width(), 3);
    EXPECT_EQ(graphic->Height(), 2);
    EXPECT_TRUE(graphic->Transparent());
}

TEST(PictureData, LayoutIsLengthByteNameThenData) {
    EXPECT_EQ(MakePictureData("Ab", {7, 8}), (std::vector<uint8_t>{2, 'A', 'b', 7, 8}));
    EXPECT_EQ(MakePictureData(std::string(255, 'n'), {}).front(), 255);  // the longest name its byte can count
    ExpectRaises<EArgumentException>([] { MakePictureData(std::string(256, 'n'), {}); },
                                     u"Picture class name longer than 255 bytes");
    RegisterPictureClass(u"TLayoutProbe", Tagged(1));
    const std::unique_ptr<TGraphic> graphic = Read({12, 'T', 'L', 'a', 'y', 'o', 'u', 't', 'P', 'r', 'o', 'b', 'e', 5, 6});
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(static_cast<TTaggedGraphic&>(*graphic).Loaded, (std::vector<uint8_t>{5, 6}));
}

TEST(PictureData, NamesAreComparedExactly) {
    RegisterPictureClass(u"TExactProbe", Tagged(1));
    RegisterPictureClass(u"TExact\u00e9", Tagged(2));  // a UTF-8 name
    struct Case { const char* name; int tag; };        // tag 0: no class, an empty picture
    const Case cases[] = {{"TExactProbe", 1}, {"texactprobe", 0}, {"TExactProb", 0}, {"TExactProbe ", 0},
                          {"TExact\xc3\xa9", 2}, {"", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<TGraphic> graphic = Read(MakePictureData(c.name, {}));  // "": the length byte alone
        if (c.tag == 0)
            EXPECT_EQ(graphic, nullptr);
        else
            EXPECT_EQ(static_cast<TTaggedGraphic&>(*graphic).Tag, c.tag);
    }
}

TEST(PictureData, MostRecentlyRegisteredClassWins) {
    RegisterPictureClass(u"TOrderProbe", Tagged(1));
    RegisterPictureClass(u"TOrderProbe", Tagged(2));
    const std::unique_ptr<TGraphic> graphic = Read(MakePictureData("TOrderProbe", {}));
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(static_cast<TTaggedGraphic&>(*graphic).Tag, 2);
}

TEST(PictureData, DataShorterThanItsNameRaisesAReadError) {
    for (const std::vector<uint8_t>& data : {std::vector<uint8_t>{}, std::vector<uint8_t>{5, 'T', 'P'},
                                             std::vector<uint8_t>{3, 'T', 'P'}}) {
        SCOPED_TRACE(data.size());
        ExpectRaises<EReadError>([&] { Read(data); }, u"Stream read error");
    }
}

TEST(PictureData, UndecodablePngRaisesTheDecodersError) {
    RegisterDefaultPictureClasses();
    ExpectRaises<EInvalidGraphic>([] { Read(MakePictureData("TPngImage", {'n', 'o', 'p', 'e', 0, 0, 0, 0})); },
                                  u"Not a PNG file");
}

}  // namespace
