// The folder to pack, as entries: every folder and plain file below it, in
// the order of their names' UTF-8 bytes, and what could not be taken.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "archive/dattool/dattool_texts.h"
#include "archive/dattool/pack.h"
#include "archive/name_rules.h"
#include "base/file_system.h"

namespace fs = std::filesystem;

namespace {

bool Excluded(const UString& name, const std::vector<UString>& excludes) {
    const size_t slash = name.rfind(u'/');
    const UStringView last = slash == UString::npos ? UStringView(name) : UStringView(name).substr(slash + 1);
    for (const UString& pattern : excludes) {
        if (MatchesPattern(name, pattern) || MatchesPattern(last, pattern)) return true;
    }
    return false;
}

// ItemFor makes the entry of one directory-iterator element, or says why it cannot be one.
bool ItemFor(const fs::directory_entry& element, const fs::path& root, TPackItem& item, std::vector<UString>& problems) {
    UString name;
    try {
        name = element.path().lexically_relative(root).generic_u16string();
    } catch (const std::exception&) {  // a Linux name whose bytes are not UTF-8
        problems.push_back(Format(kNameNotUtf8, {FromUtf8(element.path().lexically_relative(root).generic_string())}));
        return false;
    }
    std::error_code error;
    const fs::file_status status = element.symlink_status(error);
    item.Path = element.path().u16string();
    // A link or junction would pack what lies elsewhere; Windows marks both as reparse points.
    const TPathAttributes own = PathAttributes(item.Path);
    if (own.Found && (own.Attributes & kFileAttributeReparsePoint) != 0) {
        problems.push_back(Format(kIsALink, {name}));
        return false;
    }
    if (fs::is_directory(status)) {
        item.Name = name + u'/';
        item.Folder = true;
        return true;
    }
    if (!error && fs::is_regular_file(status)) item.Size = element.file_size(error);
    if (error) {
        problems.push_back(Format(kItemUnreadable, {name, FromUtf8(error.message())}));
        return false;
    }
    if (!fs::is_regular_file(status)) {
        problems.push_back(Format(kNotPlainFileOrFolder, {name}));
        return false;
    }
    item.Name = name;
    return true;
}

}  // namespace

bool MatchesPattern(UStringView name, UStringView pattern) {
    // The last "*" seen and where in name it stands: on a mismatch it takes one character more.
    size_t n = 0, p = 0, star = UStringView::npos, starAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            starAt = n;
        } else if (star != UStringView::npos) {
            p = star + 1;
            n = ++starAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

std::vector<TPackItem> CollectPackItems(const UString& folder, const std::vector<UString>& excludes,
                                        std::vector<UString>& problems) {
    const fs::path root(folder);
    std::error_code missing;
    if (!fs::is_directory(root)) {
        problems.push_back(Format(kNotAFolder, {folder}));
        return {};
    }
    std::vector<TPackItem> items;
    const size_t earlier = problems.size();
    std::error_code error;
    fs::recursive_directory_iterator it(root, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        TPackItem item;
        const bool taken = ItemFor(*it, root, item, problems);
        if (taken && Excluded(item.Folder ? item.Name.substr(0, item.Name.size() - 1) : item.Name, excludes)) {
            if (item.Folder) it.disable_recursion_pending();
        } else if (taken) {
            items.push_back(std::move(item));
        } else if (it->is_directory(missing)) {
            it.disable_recursion_pending();  // a refused junction is not entered
        }
    }
    std::sort(problems.begin() + static_cast<std::ptrdiff_t>(earlier), problems.end());  // not the folder's order
    if (error) problems.push_back(Format(kFolderNotReadWhole, {folder, FromUtf8(error.message())}));
    std::sort(items.begin(), items.end(),
              [](const TPackItem& a, const TPackItem& b) { return ToUtf8(a.Name) < ToUtf8(b.Name); });
    return items;
}

std::vector<UString> PackProblems(const std::vector<TPackItem>& items) {
    std::vector<UString> problems;
    std::vector<UString> names;
    for (const TPackItem& item : items) {
        // A Linux name may hold a "\", which the update run takes for a folder separator.
        if (item.Name.find(u'\\') != UString::npos) problems.push_back(Format(kBackslashInName, {item.Name}));
        for (const UString& problem : NameProblems(item.Name)) problems.push_back(Format(kItemProblem, {item.Name, problem}));
        if (item.Size > kLargestFile) {
            problems.push_back(Format(kFileTooLarge, {item.Name, Decimal(item.Size)}));
        }
        names.push_back(item.Name);
    }
    for (const TNameClash& clash : NameClashes(names)) problems.push_back(Format(kItemProblem, {names[clash.Index], clash.Problem}));
    if (items.size() > kMostEntries) {
        problems.push_back(Format(kTooManyEntries, {Decimal(items.size())}));
    }
    return problems;
}
