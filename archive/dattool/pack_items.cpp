// The folder to pack, as entries: every folder and plain file below it, in
// the order of their names' UTF-8 bytes, and what could not be taken.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "archive/dattool/pack.h"
#include "archive/name_rules.h"

namespace fs = std::filesystem;

namespace {

UString Quoted(UStringView text) { return u"\"" + UString(text) + u"\""; }
UString Number(uint64_t value) { return FromUtf8(std::to_string(value)); }

// ItemFor makes the entry of one directory-iterator element, or says why it cannot be one.
bool ItemFor(const fs::directory_entry& element, const fs::path& root, TPackItem& item, std::vector<UString>& problems) {
    UString name;
    try {
        name = element.path().lexically_relative(root).generic_u16string();
    } catch (const std::exception&) {  // a Linux name whose bytes are not UTF-8
        problems.push_back(Quoted(FromUtf8(element.path().lexically_relative(root).generic_string())) +
                           u": its name is not UTF-8");
        return false;
    }
    std::error_code error;
    const fs::file_status status = element.symlink_status(error);
    item.Path = element.path().u16string();
    if (fs::is_directory(status)) {
        item.Name = name + u"/";
        item.Folder = true;
        return true;
    }
    if (!error && fs::is_regular_file(status)) item.Size = element.file_size(error);
    if (error) {
        problems.push_back(Quoted(name) + u": cannot be read: " + FromUtf8(error.message()));
        return false;
    }
    if (!fs::is_regular_file(status)) {
        problems.push_back(Quoted(name) + u": is not a plain file or folder");
        return false;
    }
    item.Name = name;
    return true;
}

}  // namespace

std::vector<TPackItem> CollectPackItems(const UString& folder, std::vector<UString>& problems) {
    const fs::path root(folder);
    if (!fs::is_directory(root)) {
        problems.push_back(Quoted(folder) + u": is not a folder");
        return {};
    }
    std::vector<TPackItem> items;
    std::error_code error;
    fs::recursive_directory_iterator it(root, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        TPackItem item;
        if (ItemFor(*it, root, item, problems)) items.push_back(std::move(item));
    }
    if (error) problems.push_back(Quoted(folder) + u": cannot be read whole: " + FromUtf8(error.message()));
    std::sort(items.begin(), items.end(),
              [](const TPackItem& a, const TPackItem& b) { return ToUtf8(a.Name) < ToUtf8(b.Name); });
    return items;
}

std::vector<UString> PackProblems(const std::vector<TPackItem>& items) {
    std::vector<UString> problems;
    std::vector<UString> names;
    for (const TPackItem& item : items) {
        // A Linux name may hold a "\", which the update run takes for a folder separator.
        if (item.Name.find(u'\\') != UString::npos) problems.push_back(Quoted(item.Name) + u": has a \"\\\", which Windows takes for a folder separator");
        for (const UString& problem : NameProblems(item.Name)) problems.push_back(Quoted(item.Name) + u": " + problem);
        if (item.Size > kLargestFile) {
            problems.push_back(Quoted(item.Name) + u": is " + Number(item.Size) +
                               u" bytes; an update archive holds files smaller than 4 GiB (no ZIP64)");
        }
        names.push_back(item.Name);
    }
    for (const TNameClash& clash : NameClashes(names)) problems.push_back(Quoted(names[clash.Index]) + u": " + clash.Problem);
    if (items.size() > kMostEntries) {
        problems.push_back(u"the folder gives " + Number(items.size()) +
                           u" entries; an update archive holds at most 65,535 (no ZIP64)");
    }
    return problems;
}
