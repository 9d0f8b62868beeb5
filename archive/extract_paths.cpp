#include "archive/extract_paths.h"

#include "archive/zip_texts.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

constexpr UStringView kExtendedPrefix = u"\\\\?\\";

UStringView WithoutExtendedPrefix(UStringView path) {
    return path.substr(0, kExtendedPrefix.size()) == kExtendedPrefix ? path.substr(kExtendedPrefix.size()) : path;
}

bool HasDriveLetter(UStringView path) {
    return path.size() >= 2 && path[1] == u':' &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

bool IsBlank(UStringView path) {
    for (char16_t c : path) {
        if (c != u' ') return false;
    }
    return true;
}

// RootLength: "C:\" is 3, "/" is 1, "\\server\share\" runs to the share's end.
size_t RootLength(UStringView path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t at = 2;
        for (int part = 0; part < 2 && at < path.size(); ++part) {
            while (at < path.size() && !IsSeparator(path[at])) ++at;
            if (at < path.size()) ++at;
        }
        return at;
    }
    if (HasDriveLetter(path)) return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

bool HasInvalidPathChars(UStringView path) {
    for (char16_t c : path) {
        if (c < 0x20 || c == u'"' || c == u'<' || c == u'>' || c == u'|') return true;
    }
    return false;
}

bool IsPathRooted(UStringView path) {
    // A "\\?\" prefix begins with "\", so such a name is rooted whatever follows it.
    if (!path.empty() && IsSeparator(path[0])) return true;
    return path.size() >= 2 && path[1] == u':';
}

UString CombinePath(UStringView folder, UStringView name) {
    if (folder.empty()) return UString(name);
    if (name.empty()) return UString(folder);
    if (HasInvalidPathChars(folder) || HasInvalidPathChars(name)) throw EArgumentException(UString(kInvalidPathChars));
    if (IsPathRooted(name)) return UString(name);
    const char16_t last = folder.back();
    UString out(folder);
    if (last != u'\\' && last != u'/' && last != u':') out.push_back(u'\\');
    out.append(name);
    return out;
}

UString LastPathComponent(UStringView name) {
    const size_t at = name.find_last_of(u"\\:");
    return UString(at == UStringView::npos ? name : name.substr(at + 1));
}

UString DirectoryPart(UStringView target) {
    const size_t at = target.find_last_of(u"\\:");
    if (at == UStringView::npos) return UString();
    UString part(target.substr(0, at + 1));
    if (part.size() >= 2 && part.back() == u'\\' && part[part.size() - 2] != u':' && part[part.size() - 2] != u'\\') {
        part.pop_back();
    }
    return part;
}

void CheckFolderPath(UStringView expanded, uint32_t logicalDrives) {
    const UStringView path = WithoutExtendedPrefix(expanded);
    if (path.size() >= 248) throw EPathTooLongException(UString(kPathTooLong));
    const size_t driveEnd = HasDriveLetter(path) ? 2 : 0;
    if (path.find(u':', driveEnd) != UStringView::npos) throw ENotSupportedException(UString(kPathFormatNotSupported));
    if (IsBlank(path) || HasInvalidPathChars(path)) throw EArgumentException(UString(kInvalidPathChars));
    // A UNC path has no drive to check, and a drive path behind "\\?\" starts like one.
    if (path.size() == expanded.size() && HasDriveLetter(path)) {
        const int drive = (path[0] | 0x20) - u'a';
        if ((logicalDrives & (1u << drive)) == 0) throw EDirectoryNotFoundException(UString(kDriveNotFound));
    }
}

std::vector<UString> FolderLevels(UStringView expanded) {
    std::vector<UString> levels;
    const size_t root = RootLength(expanded);
    for (size_t at = root; at < expanded.size(); ++at) {
        if (IsSeparator(expanded[at]) && at > root && !IsSeparator(expanded[at - 1])) {
            levels.emplace_back(expanded.substr(0, at));
        }
    }
    if (expanded.size() > root && !IsSeparator(expanded.back())) levels.emplace_back(expanded);
    return levels;
}

bool IsInsideFolder(UStringView folder, UStringView target, bool allowSame) {
    while (folder.size() > RootLength(folder) && IsSeparator(folder.back())) folder.remove_suffix(1);
    while (target.size() > RootLength(target) && IsSeparator(target.back())) target.remove_suffix(1);
    if (target.size() < folder.size()) return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        const bool same = folder[i] == target[i] || (IsSeparator(folder[i]) && IsSeparator(target[i]));
        if (!same) return false;
    }
    if (target.size() == folder.size()) return allowSame;
    return IsSeparator(folder.back()) || IsSeparator(target[folder.size()]);
}

bool ClimbsOut(UStringView name) {
    int depth = 0;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        const UStringView part = name.substr(start, end - start);
        if (part == u"..") {
            if (--depth < 0) return true;
        } else if (!part.empty() && part != u".") {
            ++depth;
        }
        start = end + 1;
    }
    return false;
}

bool HasTrailingSeparator(UStringView path) { return !path.empty() && IsSeparator(path.back()); }
