#include "archive/dattool/check.h"

#include <zlib.h>

#include <algorithm>

#include "archive/entry_names.h"
#include "archive/extract_paths.h"
#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "toolkit/errors.h"

namespace {

constexpr size_t kCopyBufferSize = 61440;

// Characters that Windows refuses in a file name even where the path rules let them through.
bool HasWindowsInvalidChars(UStringView name) {
    return HasInvalidPathChars(name) || name.find_first_of(u"*?:") != UStringView::npos;
}

class TEntryChecker {
public:
    TEntryChecker(TZipFile& zip, int index, std::vector<TCheckProblem>& problems)
        : FZip(zip), FIndex(index), FHeader(zip.FileInfo(index)), FProblems(problems) {}

    void Run() {
        CheckName();
        if ((FHeader.Flag & 1) != 0) Report(u"is encrypted");
        if (FindDecompressor(static_cast<TZipCompression>(FHeader.CompressionMethod)) == nullptr) {
            Report(Format(u"uses compression method %s, which cannot be extracted",
                          {FromUtf8(std::to_string(FHeader.CompressionMethod))}));
            return;
        }
        try {
            CheckData();
        } catch (const Exception& error) {  // a pre-flight reports and goes on to the next entry
            Report(error.Message());
        }
    }

private:
    void CheckName() {
        try {
            FName = FZip.FileName(FIndex);
        } catch (const EEncodingError& error) {
            FName = DecodeCp437(FHeader.FileName);
            Report(error.Message());
            return;
        }
        UString name = FName;
        std::replace(name.begin(), name.end(), u'/', u'\\');
        if (IsPathRooted(name) || ClimbsOut(name)) Report(Format(kOutsideTargetFolder, {name}));
        if (HasWindowsInvalidChars(name)) Report(u"has characters that are not allowed in a file name");
    }

    void CheckData() {
        std::unique_ptr<TStream> data;
        TZipHeader local;
        FZip.Read(FIndex, data, local);
        TBytes buffer(std::min<size_t>(FHeader.UncompressedSize, kCopyBufferSize));
        uLong crc = crc32(0L, Z_NULL, 0);
        for (uint32_t remaining = FHeader.UncompressedSize; remaining > 0;) {
            const uint32_t piece = std::min<uint32_t>(remaining, kCopyBufferSize);
            data->ReadBuffer(buffer.data(), piece);
            crc = crc32(crc, buffer.data(), piece);
            remaining -= piece;
        }
        if (static_cast<uint32_t>(crc) != FHeader.CRC32) Report(u"has a wrong checksum");
        CheckSizes(*data);
    }

    void CheckSizes(TStream& data) {
        auto* inflated = dynamic_cast<TZDecompressionStream*>(&data);
        if (inflated == nullptr) {
            if (FHeader.CompressedSize != FHeader.UncompressedSize) Report(u"is stored with two different sizes");
            return;
        }
        uint8_t probe = 0;
        if (inflated->Read(&probe, 1) != 0) {
            Report(u"holds more data than its recorded size");
        } else if (!inflated->Ended()) {
            Report(u"has deflate data that does not end");
        } else if (inflated->Consumed() != static_cast<int64_t>(FHeader.CompressedSize)) {
            Report(u"has a wrong compressed size");
        }
    }

    void Report(UStringView problem) { FProblems.push_back({FName, UString(problem)}); }

    TZipFile& FZip;
    int FIndex;
    TZipHeader FHeader;
    std::vector<TCheckProblem>& FProblems;  // we don't own it
    UString FName;
};

}  // namespace

std::vector<TCheckProblem> CheckArchive(TZipFile& zip) {
    std::vector<TCheckProblem> problems;
    for (int i = 0; i < zip.FileCount(); ++i) TEntryChecker(zip, i, problems).Run();
    return problems;
}
