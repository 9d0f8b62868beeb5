#include "archive/dattool/seal_image.h"

#include <optional>

#include "archive/archive_seal.h"
#include "archive/dattool/dattool_texts.h"

namespace {

constexpr uint32_t kRcData = 10;
constexpr uint32_t kVersionType = 16;
constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kResourceDirectory = 2;
constexpr size_t kSecurityDirectory = 4;

// TImageReader reads little-endian fields at file offsets; a field beyond the
// end throws TOutside, which ReadUpdaterImage turns into "not an updater".
class TImageReader {
public:
    struct TOutside {};
    explicit TImageReader(const TBytes& bytes) : FBytes(bytes) {}

    uint16_t U16(size_t at) const {
        Require(at, 2);
        return static_cast<uint16_t>(FBytes[at] | FBytes[at + 1] << 8);
    }
    uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
    void Require(size_t at, size_t count) const {
        if (at > FBytes.size() || count > FBytes.size() - at) throw TOutside{};
    }

private:
    const TBytes& FBytes;  // we don't own it
};

struct TSection {
    uint32_t VirtualAddress, RawSize, RawOffset;
};

class TPeFile {
public:
    explicit TPeFile(const TBytes& bytes) : FIn(bytes) {
        if (FIn.U16(0) != 0x5A4D) throw TImageReader::TOutside{};  // "MZ"
        const size_t pe = FIn.U32(0x3C);
        if (FIn.U32(pe) != 0x00004550) throw TImageReader::TOutside{};  // "PE\0\0"
        const size_t coff = pe + 4;
        const uint16_t sectionCount = FIn.U16(coff + 2);
        const size_t optional = coff + 20;
        const uint16_t magic = FIn.U16(optional);
        if (magic != 0x10B && magic != 0x20B) throw TImageReader::TOutside{};
        const size_t counts = optional + (magic == 0x10B ? 92 : 108);
        FDirectoryCount = FIn.U32(counts);
        FDirectories = counts + 4;
        size_t section = optional + FIn.U16(coff + 16);
        for (uint16_t i = 0; i < sectionCount; ++i, section += 40)
            FSections.push_back({FIn.U32(section + 12), FIn.U32(section + 16), FIn.U32(section + 20)});
    }

    // Directory gives a data directory's address and size; zeros when absent.
    std::pair<uint32_t, uint32_t> Directory(size_t index) const {
        if (index >= FDirectoryCount) return {0, 0};
        return {FIn.U32(FDirectories + 8 * index), FIn.U32(FDirectories + 8 * index + 4)};
    }

    // FileOffset maps a relative virtual address to where its bytes lie in the file.
    size_t FileOffset(uint32_t rva, uint32_t size) const {
        for (const TSection& s : FSections) {
            if (rva < s.VirtualAddress) continue;
            const uint32_t into = rva - s.VirtualAddress;
            if (into >= s.RawSize || size > s.RawSize - into) continue;
            const size_t at = static_cast<size_t>(s.RawOffset) + into;
            FIn.Require(at, size);
            return at;
        }
        throw TImageReader::TOutside{};
    }

    const TImageReader& In() const { return FIn; }

private:
    TImageReader FIn;
    uint32_t FDirectoryCount = 0;
    size_t FDirectories = 0;
    std::vector<TSection> FSections;
};

// TResourceTree walks the three levels of the resource directory: type, name, language.
class TResourceTree {
public:
    explicit TResourceTree(const TPeFile& pe) : FPe(pe), FIn(pe.In()) {
        const auto [rva, size] = pe.Directory(kResourceDirectory);
        if (rva == 0) throw TImageReader::TOutside{};
        FRoot = pe.FileOffset(rva, 16);
    }

    // Find gives the first language's data (file offset and size) of the
    // resource type/name; a name of 0 takes the first name there.
    std::optional<std::pair<size_t, uint32_t>> Find(uint32_t type, UStringView name) const {
        const auto names = Entry(FRoot, [&](uint32_t id, bool named, size_t) { return !named && id == type; });
        if (!names) return std::nullopt;
        const auto languages = Entry(*names, [&](uint32_t, bool named, size_t text) {
            return name.empty() || (named && NameAt(text) == name);
        });
        if (!languages) return std::nullopt;
        const auto data = Entry(*languages, [](uint32_t, bool, size_t) { return true; }, false);
        if (!data) return std::nullopt;
        const uint32_t size = FIn.U32(*data + 4);
        return std::make_pair(FPe.FileOffset(FIn.U32(*data), size), size);
    }

private:
    // Entry gives the file offset that the first matching entry of the
    // directory at dir points to: a subdirectory, or a data entry when leaf.
    template <class Match>
    std::optional<size_t> Entry(size_t dir, Match match, bool subdirectory = true) const {
        const size_t count = size_t{FIn.U16(dir + 12)} + FIn.U16(dir + 14);
        for (size_t i = 0; i < count; ++i) {
            const size_t entry = dir + 16 + 8 * i;
            const uint32_t name = FIn.U32(entry);
            const uint32_t target = FIn.U32(entry + 4);
            const bool named = (name & kHighBit) != 0;
            if (!match(name, named, FRoot + (name & ~kHighBit))) continue;
            if (((target & kHighBit) != 0) != subdirectory) throw TImageReader::TOutside{};
            return FRoot + (target & ~kHighBit);
        }
        return std::nullopt;
    }

    UString NameAt(size_t at) const {
        const uint16_t length = FIn.U16(at);
        UString text;
        for (uint16_t i = 0; i < length; ++i) text.push_back(static_cast<char16_t>(FIn.U16(at + 2 + 2 * i)));
        return text;
    }

    const TPeFile& FPe;
    const TImageReader& FIn;
    size_t FRoot = 0;
};

// FileVersion reads VS_FIXEDFILEINFO's file version from the version resource.
UString FileVersion(const TResourceTree& tree, const TImageReader& in) {
    const auto resource = tree.Find(kVersionType, u"");
    if (!resource) return UString();
    const auto [at, size] = *resource;
    for (size_t i = 0; i + 16 <= size; i += 4) {
        if (in.U32(at + i) != kFixedFileInfoSignature) continue;
        const uint32_t high = in.U32(at + i + 8);
        const uint32_t low = in.U32(at + i + 12);
        return Decimal(high >> 16) + u"." + Decimal(high & 0xFFFF) + u"." + Decimal(low >> 16) + u"." +
               Decimal(low & 0xFFFF);
    }
    return UString();
}

}  // namespace

bool ReadUpdaterImage(const TBytes& exe, TUpdaterImage& image) {
    try {
        const TPeFile pe(exe);
        const TResourceTree tree(pe);
        const auto seal = tree.Find(kRcData, kSealResourceName);
        if (!seal || seal->second != kSealSize) return false;
        image.SealOffset = seal->first;
        image.Signed = pe.Directory(kSecurityDirectory).second != 0;
        image.Version = FileVersion(tree, pe.In());
        return true;
    } catch (const TImageReader::TOutside&) {
        return false;
    }
}
