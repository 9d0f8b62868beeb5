#include "archive/dattool/dattool.h"

#include <cstdio>
#include <memory>
#include <string>

#include "archive/dattool/check.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/dattool/pack.h"
#include "archive/dattool/seal.h"
#include "archive/entry_names.h"
#include "archive/zip_file.h"
#include "archive/zip_handlers.h"
#include "base/error_text.h"
#include "base/finally.h"

namespace {

UString Hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return FromUtf8(text);
}

UString NameOrBytes(TZipFile& zip, int index) {
    try {
        return zip.FileName(index);
    } catch (const Exception&) {  // listing shows even a name that cannot be decoded
        return DecodeCp437(zip.FileInfo(index).FileName);
    }
}

int List(const UString& archive, TConsole& console) {
    TZipFile zip;
    zip.Open(archive, zmRead);
    console.Out(UString(kListHeader));
    for (int i = 0; i < zip.FileCount(); ++i) {
        const TZipHeader h = zip.FileInfo(i);
        console.Out(Format(kListLine, {NameOrBytes(zip, i), Decimal(h.CompressionMethod), Decimal(h.CompressedSize),
                                       Decimal(h.UncompressedSize), Hex8(h.CRC32)}));
    }
    return 0;
}

// Extract runs the update run's sequence: create, open read-write, extract
// everything, close (the write-back), release on every path.
int Extract(const UString& archive, UString folder, TConsole&) {
    if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder.push_back(u'\\');
    auto zip = std::make_unique<TZipFile>();
    TryFinally(
        [&] {
            zip->Open(archive, zmReadWrite);
            zip->ExtractAll(folder);
            zip->Close();
        },
        [&] { zip.reset(); });
    return 0;
}

}  // namespace

int RunDatTool(const std::vector<UString>& args, TConsole& console) {
    RegisterDefaultCompressionHandlers();
    const size_t count = args.size();
    try {
        if (count == 2 && args[0] == u"list") return List(args[1], console);
        if (count == 3 && args[0] == u"extract") return Extract(args[1], args[2], console);
        if (count == 2 && args[0] == u"check") return RunCheck(args[1], console);
        if (count >= 1 && args[0] == u"pack") return RunPack(std::vector<UString>(args.begin() + 1, args.end()), console);
        if (count >= 1 && args[0] == u"seal") return RunSeal(std::vector<UString>(args.begin() + 1, args.end()), console);
    } catch (const Exception& error) {
        console.Err(DisplayText(error));  // as the error display shows it, as the last line
        return 1;
    }
    console.Err(UString(kUsage));
    return 2;
}
