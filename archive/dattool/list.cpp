// `dattool list ARCHIVE`: one line per entry with its method by name, sizes,
// date and checksum, then a totals line.
#include <cstdio>

#include "archive/dattool/archive_input.h"
#include "archive/dattool/command_line.h"
#include "archive/dattool/commands.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/entry_names.h"

namespace {

UString Hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return FromUtf8(text);
}

// DosDateTime shows an MS-DOS date and time as "2024-03-20 14:05:08".
UString DosDateTime(uint32_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (value >> 25), (value >> 21) & 15,
                  (value >> 16) & 31, (value >> 11) & 31, (value >> 5) & 63, (value & 31) * 2);
    return FromUtf8(text);
}

UString MethodName(uint16_t method) {
    if (method == 0) return UString(kMethodStored);
    if (method == 8) return UString(kMethodDeflated);
    return Format(kMethodNumber, {Decimal(method)});
}

UString NameOrBytes(TZipFile& zip, int index) {
    try {
        return zip.FileName(index);
    } catch (const Exception&) {  // listing shows even a name that cannot be decoded
        return DecodeCp437(zip.FileInfo(index).FileName);
    }
}

}  // namespace

int RunList(const std::vector<UString>& args, TConsole& console) {
    const TCommandLine line(args, {});
    TArchiveInput input(line.Operands(1)[0]);
    console.Out(UString(kListHeader));
    uint64_t compressed = 0;
    uint64_t uncompressed = 0;
    const int count = input.Zip().FileCount();  // an empty file holds no entries
    for (int i = 0; i < count; ++i) {
        const TZipHeader h = input.Zip().FileInfo(i);
        console.Out(Format(kListLine, {MethodName(h.CompressionMethod), Decimal(h.CompressedSize), Decimal(h.UncompressedSize),
                                       DosDateTime(h.ModifiedDateTime), Hex8(h.CRC32), NameOrBytes(input.Zip(), i)}));
        compressed += h.CompressedSize;
        uncompressed += h.UncompressedSize;
    }
    console.Out(Format(kListTotals, {Decimal(compressed), Decimal(uncompressed), Counted(static_cast<size_t>(count), kEntry, kEntries)}));
    return 0;
}
