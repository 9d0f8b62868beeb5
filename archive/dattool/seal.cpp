#include "archive/dattool/seal.h"

#include "archive/archive_seal.h"
#include "archive/dattool/command_line.h"
#include "archive/dattool/seal_image.h"
#include "archive/dattool/seal_texts.h"
#include "archive/file_stream.h"

namespace {

TBytes ReadWhole(TStream& stream) {
    TBytes bytes(static_cast<size_t>(stream.Size()));
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

// ReadImage reads the updater through the stream it is opened with and its
// seal; bytes that hold no seal resource in either state are refused.
TUpdaterImage ReadImage(TFileStream& exe, TArchiveSeal& seal) {
    const TBytes bytes = ReadWhole(exe);
    TUpdaterImage image;
    if (!ReadUpdaterImage(bytes, image) || !ParseSeal(bytes.data() + image.SealOffset, kSealSize, seal))
        throw ESealError(Format(kNotAnUpdater, {exe.FileName()}));
    return image;
}

UString VersionOf(const TUpdaterImage& image) { return image.Version.empty() ? UString(kNoVersion) : image.Version; }

int Show(const UString& exePath, TConsole& console) {
    TFileStream exe(exePath, faRead, fdOpenExisting);
    TArchiveSeal seal;
    const TUpdaterImage image = ReadImage(exe, seal);
    if (seal.Sealed)
        console.Out(Format(kSealedTo, {exePath, VersionOf(image), Sha256Hex(seal.Digest)}));
    else
        console.Out(Format(kNotSealed, {exePath, VersionOf(image)}));
    return 0;
}

// Seal reads and writes the exe through one handle, held without sharing
// from the look-up to the write.
int Seal(const UString& exePath, const UString& archivePath, TConsole& console) {
    TFileStream exe(exePath, faReadWrite, fdOpenExisting);
    TArchiveSeal current;
    const TUpdaterImage image = ReadImage(exe, current);
    if (image.Signed) throw ESealError(Format(kAlreadySigned, {exePath}));
    TFileStream archive(archivePath, faRead, fdOpenExisting);
    const TSha256Digest digest = Sha256OfStream(archive);
    const TBytes sealed = SealedResource(digest);
    exe.SetPosition(static_cast<int64_t>(image.SealOffset));
    exe.WriteBuffer(sealed.data(), static_cast<int64_t>(sealed.size()));
    console.Out(Format(kSealWritten, {exePath, archivePath, Sha256Hex(digest)}));
    return 0;
}

}  // namespace

int RunSeal(const std::vector<UString>& args, TConsole& console) {
    const TCommandLine line(args, {{u"--show"}});
    if (line.Has(u"--show")) return Show(line.Operands(1)[0], console);
    const std::vector<UString>& operands = line.Operands(2);
    return Seal(operands[0], operands[1], console);
}
