// The picture classes a stored picture can name. A window definition stores a
// picture as one length byte n, n bytes of the class name in UTF-8, then the
// class's own data (for "TPngImage" a complete PNG file). Classes are
// registered at start-up; the registry is process-wide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/graphic.h"
#include "base/text.h"

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// RegisterPictureClass makes className known to ReadPictureData. A name
// registered again is found with its newest factory.
void RegisterPictureClass(const UString& className, TGraphicFactory factory);

// RegisterDefaultPictureClasses registers the classes the program's pictures
// use: "TPngImage".
void RegisterDefaultPictureClasses();

// ReadPictureData creates the picture stored in data. The class name is
// compared exactly (case matters) with the registered names, the most
// recently registered first; a name nobody registered gives nullptr, an empty
// picture. Data too short for its name raises EReadError; data the class
// cannot read raises the class's error.
std::unique_ptr<TGraphic> ReadPictureData(const uint8_t* data, size_t size);

// MakePictureData builds stored picture data (for tests and tools); the name
// must fit in 255 bytes.
std::vector<uint8_t> MakePictureData(const std::string& className, const std::vector<uint8_t>& payload);
