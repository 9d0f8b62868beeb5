#include "updater/install_search.h"

#include "updater/updater_texts.h"

const std::array<const char16_t*, 18> kInstallCandidates = {
    u"C:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"C:\\Program Files\\Kelvo\\Kelvo.exe",
    u"D:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"D:\\Program Files\\Kelvo\\Kelvo.exe",
    u"E:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"E:\\Program Files\\Kelvo\\Kelvo.exe",
    u"F:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"F:\\Program Files\\Kelvo\\Kelvo.exe",
    u"G:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"G:\\Program Files\\Kelvo\\Kelvo.exe",
    u"H:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"H:\\Program Files\\Kelvo\\Kelvo.exe",
    u"J:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"J:\\Program Files\\Kelvo\\Kelvo.exe",
    u"K:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"K:\\Program Files\\Kelvo\\Kelvo.exe",
    u"L:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"L:\\Program Files\\Kelvo\\Kelvo.exe",
};

namespace {

constexpr size_t kExecutableNameLength = 9;

// TErrorModeScope keeps the critical-error box away for one scope.
class TErrorModeScope {
public:
    explicit TErrorModeScope(TFileSystem& files)
        : FFiles(files), FPrevious(files.ChangeErrorMode(kErrorModeFailCriticalErrors)) {}
    ~TErrorModeScope() { FFiles.ChangeErrorMode(FPrevious); }
    TErrorModeScope(const TErrorModeScope&) = delete;
    TErrorModeScope& operator=(const TErrorModeScope&) = delete;

private:
    TFileSystem& FFiles;
    uint32_t FPrevious;
};

}  // namespace


UString SearchInstallation(TFileSystem& files, UString& probe) {
    TErrorModeScope quiet(files);
    for (const char16_t* candidate : kInstallCandidates) {
        probe = candidate;
        if (FileExists(files, probe)) return probe;
    }
    return UString(kNotFound);
}

bool EndsWithExecutableName(TLocaleText& text, const UString& lowered) {
    if (lowered.size() < kExecutableNameLength) return false;
    return text.Same(lowered.substr(lowered.size() - kExecutableNameLength), UString(kExecutableName));
}

std::optional<UString> AcceptedFolder(TFileSystem& files, TLocaleText& text, const UString& path,
                                      TSelectionKind kind) {
    const UString lowered = text.Lower(path);
    if (kind == skManual && !EndsWithExecutableName(text, lowered)) return std::nullopt;
    // Every candidate ends in Kelvo.exe and a manual pick has passed the
    // ending test, so the last nine characters are the executable's name.
    if (lowered.size() < kExecutableNameLength) return std::nullopt;
    UString folder = lowered.substr(0, lowered.size() - kExecutableNameLength);
    if (!FileExists(files, folder + UString(kMarkerName))) return std::nullopt;
    return folder;
}
