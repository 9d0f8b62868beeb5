// `dattool diff ARCHIVE FOLDER` tells what the update run would do to the
// installation in FOLDER, touching nothing: each entry new, replaced or
// unchanged, each entry where the run would stop and why, and the files the
// archive does not hold (the run leaves them).
#include <algorithm>
#include <filesystem>
#include <set>

#include "archive/dattool/archive_input.h"
#include "archive/dattool/check.h"
#include "archive/dattool/command_line.h"
#include "archive/dattool/commands.h"
#include "archive/dattool/diff.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/entry_names.h"
#include "archive/extract_paths.h"
#include "archive/file_stream.h"
#include "archive/name_rules.h"
#include "archive/zip_texts.h"
#include "base/error_text.h"
#include "base/system_text.h"

namespace fs = std::filesystem;

namespace {

enum TEntryFate { efNew, efReplaced, efUnchanged, efStops };

struct TFate {
    TEntryFate Fate;
    UString Reason;  // why the run stops
};

// SameContent compares the entry's data with the file, piece by piece.
bool SameContent(TZipFile& zip, int index, const UString& path) {
    const uint32_t size = zip.FileInfo(index).UncompressedSize;
    TFileStream file(path, faRead, fdOpenExisting);
    if (file.Size() != size) return false;
    std::unique_ptr<TStream> data;
    TZipHeader local;
    zip.Read(index, data, local);
    TBytes ours(kCopyBufferSize), theirs(kCopyBufferSize);
    for (uint32_t remaining = size; remaining > 0;) {
        const uint32_t piece = std::min<uint32_t>(remaining, kCopyBufferSize);
        data->ReadBuffer(ours.data(), piece);
        file.ReadBuffer(theirs.data(), piece);
        if (!std::equal(ours.begin(), ours.begin() + piece, theirs.begin())) return false;
        remaining -= piece;
    }
    return true;
}

// FolderStop says why the entry's folder cannot be made: a file in the way, a path too long.
UString FolderStop(const UString& target) {
    const UString folder = DirectoryPart(target);
    if (folder.empty()) return UString();
    UString expanded;
    if (ExpandFileName(folder, expanded) != 0) expanded = folder;
    CheckFolderPath(expanded, LogicalDrives());
    for (const UString& level : FolderLevels(expanded)) {
        const TPathAttributes a = PathAttributes(level);
        if (a.Found && (a.Attributes & kFileAttributeDirectory) == 0) return Format(kDiffFileInTheWay, {level});
    }
    return UString();
}

TFate FateOf(TZipFile& zip, int index, const UString& folder, const UString& name) {
    UString inside = name;
    for (char16_t& c : inside) c = c == u'/' ? u'\\' : c;
    if (IsPathRooted(inside) || ClimbsOut(inside)) return {efStops, Format(kOutsideTargetFolder, {inside})};
    const UString target = CombinePath(folder, inside);
    if (UString stop = FolderStop(target); !stop.empty()) return {efStops, stop};
    const TPathAttributes own = PathAttributes(target);
    const bool isFolder = own.Found && (own.Attributes & kFileAttributeDirectory) != 0;
    if (HasTrailingSeparator(target)) {
        if (own.Found && !isFolder) return {efStops, Format(kDiffFileInTheWay, {target})};
        return {own.Found ? efUnchanged : efNew, UString()};
    }
    if (target.size() >= kMaxFilePathLength) return {efStops, Format(kDiffPathTooLong, {Decimal(target.size())})};
    if (!own.Found) return {efNew, UString()};
    if (isFolder) return {efStops, Format(kDiffFolderInTheWay, {target})};
    if (const uint32_t code = CheckReplaceable(target); code != 0) {
        return {efStops, Format(kCannotCreateFile, {target, SystemErrorText(code)})};
    }
    return {SameContent(zip, index, target) ? efUnchanged : efReplaced, UString()};
}

// FilesBelow lists the files below folder as "/" separated relative names.
std::vector<UString> FilesBelow(const UString& folder) {
    std::vector<UString> files;
    std::error_code error;
    const fs::path root(folder);
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_directory(error)) files.push_back(it->path().lexically_relative(root).generic_u16string());
    }
    if (error) throw EToolInput(Format(kCannotReadInput, {folder, FromUtf8(error.message())}));
    std::sort(files.begin(), files.end());
    return files;
}

// SameFileKey is the name as Windows compares it: letter case does not count there.
UString SameFileKey(UString name) {
#ifdef _WIN32
    for (char16_t& c : name) c = c < 0x80 ? static_cast<char16_t>(std::tolower(c)) : c;
#endif
    return name;
}

}  // namespace

int DiffFolder(TZipFile& zip, const UString& folder, TConsole& console) {
    UString anchored = folder;
    if (!HasTrailingSeparator(anchored)) anchored.push_back(u'\\');
    static constexpr UStringView kWords[] = {kDiffNew, kDiffReplaced, kDiffUnchanged, kDiffStops};
    size_t counts[4] = {};
    std::set<UString> held;
    for (int i = 0; i < zip.FileCount(); ++i) {
        TFate fate{efStops, UString()};
        UString name = DecodeCp437(zip.FileInfo(i).FileName);
        try {
            name = zip.FileName(i);
            fate = FateOf(zip, i, anchored, name);
        } catch (const Exception& e) {  // what stops the run stops it at this entry
            fate.Reason = e.Message();
        }
        held.insert(SameFileKey(name));
        ++counts[fate.Fate];
        const UString shown = Format(kQuotedName, {Printable(name)});
        console.Out(Format(kDiffLine, {kWords[fate.Fate],
                                       fate.Fate == efStops ? Format(kProblemLine, {shown, Printable(fate.Reason)}) : shown}));
    }
    size_t extra = 0;
    for (const UString& file : FilesBelow(folder)) {
        if (held.count(SameFileKey(file)) != 0) continue;
        if (extra++ == 0) console.Out(UString(kDiffNotHeldHead));
        console.Out(Format(kDiffNotHeldLine, {Printable(file)}));
    }
    console.Out(Format(kDiffTotals, {Decimal(counts[efNew]), Decimal(counts[efReplaced]), Decimal(counts[efUnchanged]),
                                     Decimal(counts[efStops]), Decimal(extra)}));
    return counts[efNew] + counts[efReplaced] + counts[efStops] == 0 ? 0 : 1;
}

int RunDiff(const std::vector<UString>& args, TConsole& console) {
    const TCommandLine line(args, {});
    const std::vector<UString>& operands = line.Operands(2);
    TArchiveInput input(operands[0]);
    RequireFolder(operands[1]);
    return DiffFolder(input.Zip(), operands[1], console);  // an empty file holds no entries
}
