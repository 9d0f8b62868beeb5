#include "archive/name_rules.h"

#include <algorithm>
#include <unordered_map>

#include "archive/entry_names.h"
#include "archive/extract_paths.h"
#include "archive/zip_texts.h"

namespace {

std::vector<UString> Components(UStringView name) {
    std::vector<UString> parts(1);
    for (char16_t c : name) {
        if (c == u'\\' || c == u'/') parts.emplace_back();
        else parts.back().push_back(c);
    }
    return parts;
}

// DeviceName: Windows opens the device, not a file, for CON, NUL, COM1 and
// the like, whatever extension follows and with spaces before it.
bool IsDeviceName(UStringView component) {
    UString base(component.substr(0, component.find(u'.')));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    base = AsciiLower(base);
    static const UStringView kDevices[] = {u"con", u"prn", u"aux", u"nul", u"conin$", u"conout$"};
    if (std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices)) return true;
    if (base.size() != 4 || (base.substr(0, 3) != u"com" && base.substr(0, 3) != u"lpt")) return false;
    const char16_t digit = base[3];
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

void ComponentProblems(UStringView name, std::vector<UString>& problems) {
    std::vector<UString> parts = Components(name);
    if (parts.size() > 1 && parts.back().empty()) parts.pop_back();  // a folder entry's final separator
    bool dotForms = false;
    for (const UString& part : parts) {
        if (part.empty() || part == u"." || part == u"..") {
            dotForms = true;
        } else if (part.back() == u'.' || part.back() == u' ') {
            problems.push_back(Format(kPartEndsInDotOrSpace, {part}));
        }
        if (IsDeviceName(part)) problems.push_back(Format(kPartIsDeviceName, {part}));
    }
    if (dotForms) {
        const UString resolved = ResolvedName(name);
        problems.push_back(resolved.empty() ? UString(kDotFormsMeanInstallFolder) : Format(kDotFormsResolveTo, {resolved}));
    }
}

// LengthProblems applies the run's folder check and Windows's file path limit
// to the name placed in the usual install folder.
void LengthProblems(UStringView name, std::vector<UString>& problems) {
    const UString target = UString(kUsualInstallFolder) + ResolvedName(name);
    const bool folderEntry = HasTrailingSeparator(target);
    const UString folder = folderEntry ? target.substr(0, target.size() - 1) : DirectoryPart(target);
    try {
        CheckFolderPath(folder, ~0u);
    } catch (const EPathTooLongException& error) {
        problems.push_back(Format(kFolderInInstallFolderTooLong,
                                  {kUsualInstallFolder, FromUtf8(std::to_string(folder.size())), error.Message()}));
    } catch (const Exception&) {
        // colons and invalid characters are reported by their own rules
    }
    if (!folderEntry && target.size() >= kMaxFilePathLength) {
        problems.push_back(Format(kPathInInstallFolderTooLong, {kUsualInstallFolder, FromUtf8(std::to_string(target.size()))}));
    }
}

}  // namespace

UString ResolvedName(UStringView name) {
    std::vector<UString> kept;
    for (const UString& part : Components(name)) {
        if (part == u"..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!part.empty() && part != u".") {
            kept.push_back(part);
        }
    }
    UString out;
    for (const UString& part : kept) out += (out.empty() ? u"" : u"\\") + part;
    if (!out.empty() && HasTrailingSeparator(name)) out.push_back(u'\\');
    return out;
}

std::vector<UString> NameProblems(UStringView name) {
    UString backslashed(name);
    std::replace(backslashed.begin(), backslashed.end(), u'/', u'\\');
    if (IsPathRooted(backslashed) || ClimbsOut(backslashed)) return {Format(kOutsideTargetFolder, {backslashed})};
    std::vector<UString> problems;
    try {
        CombinePath(kUsualInstallFolder, backslashed);  // the run's own check of the characters
    } catch (const Exception& error) {
        problems.push_back(Format(kRunRefusesName, {error.Message()}));
        return problems;
    }
    if (backslashed.find_first_of(u"*?") != UString::npos) problems.push_back(UString(kWildcardInName));
    if (backslashed.find(u':') != UString::npos) problems.push_back(UString(kColonInName));
    ComponentProblems(backslashed, problems);
    LengthProblems(backslashed, problems);
    return problems;
}

namespace {

// TNameMap holds, by the key Windows compares names with, what each path is
// (a file or a folder) and the first entry that made it so.
class TNameMap {
public:
    explicit TNameMap(const std::vector<UString>& names) : FNames(names) {}

    void Add(size_t index, std::vector<TNameClash>& clashes) {
        const UString resolved = ResolvedName(FNames[index]);
        const bool folderEntry = HasTrailingSeparator(resolved);
        const UString path = folderEntry ? resolved.substr(0, resolved.size() - 1) : resolved;
        if (path.empty()) return;  // the install folder itself
        const UString key = UpperCaseAsFileSystem(path);  // once: its prefixes are the folders' keys
        for (size_t at = path.find(u'\\'); at != UString::npos; at = path.find(u'\\', at + 1)) {
            const TKind* kind = Enter(key.substr(0, at), true, index);
            if (kind != nullptr && !kind->Folder) {
                clashes.push_back({index, Format(kNeedsFolderWhereFile, {path.substr(0, at), FNames[kind->Index]})});
            }
        }
        const TKind* kind = Enter(key, folderEntry, index);
        if (kind == nullptr || (kind->Folder && folderEntry)) return;
        const UStringView clash = kind->Folder ? kFileWhereFolder : folderEntry ? kFolderWhereFile : kSameFileOnWindows;
        clashes.push_back({index, Format(clash, {FNames[kind->Index]})});
    }

private:
    struct TKind {
        bool Folder;
        size_t Index;
    };

    // Enter records a path by its key, or gives what it already was when an earlier entry
    // made it (an entry never meets its own keys again: each prefix is longer than the last).
    const TKind* Enter(const UString& key, bool folder, size_t index) {
        const auto [at, added] = FKinds.emplace(key, TKind{folder, index});
        return added ? nullptr : &at->second;
    }

    const std::vector<UString>& FNames;  // we don't own them
    std::unordered_map<UString, TKind> FKinds;
};

}  // namespace

std::vector<TNameClash> NameClashes(const std::vector<UString>& names) {
    std::vector<TNameClash> clashes;
    TNameMap map(names);
    for (size_t i = 0; i < names.size(); ++i) map.Add(i, clashes);
    return clashes;
}
