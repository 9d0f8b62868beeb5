// Fakes for the install search's seams: a file system whose answers each test
// sets path by path, including the answers the real system gives only on
// Windows (links on files, access denied, drives that are not ready), and a
// locale that lower-cases the letters A to Z.
#pragma once

#include <map>
#include <vector>

#include "base/base_texts.h"
#include "updater/install_files.h"
#include "updater/locale_text.h"

struct TFakeEntry {
    TPathAttributes Attributes;
    TPathEntry Find;
    uint32_t OpenError;
};

class TFakeFileSystem final : public TFileSystem {
public:
    // Unknown paths answer as a missing folder does.
    void Set(const UString& path, TFakeEntry entry) { FEntries[AsciiLower(path)] = entry; }
    void AddFile(const UString& path) { Set(path, {{true, 0x20, 0}, {true, false}, 0}); }
    void AddFolder(const UString& path) { Set(path, {{true, 0x10, 0}, {true, true}, 5}); }

    TPathAttributes Attributes(const UString& path) override {
        AttributeQueries.push_back(path);
        ModeDuringQueries.push_back(FMode);
        return Find(path).Attributes;
    }
    TPathEntry FindEntry(const UString& path) override {
        FindQueries.push_back(path);
        return Find(path).Find;
    }
    uint32_t OpenForReading(const UString& path) override {
        OpenQueries.push_back(path);
        return Find(path).OpenError;
    }
    uint32_t ChangeErrorMode(uint32_t mode) override {
        const uint32_t previous = FMode;
        FMode = mode;
        return previous;
    }

    uint32_t Mode() const { return FMode; }
    void PresetMode(uint32_t mode) { FMode = mode; }

    std::vector<UString> AttributeQueries;
    std::vector<uint32_t> ModeDuringQueries;
    std::vector<UString> FindQueries;
    std::vector<UString> OpenQueries;

private:
    TFakeEntry Find(const UString& path) const {
        const auto it = FEntries.find(AsciiLower(path));
        if (it != FEntries.end()) return it->second;
        return {{false, 0, kErrorPathNotFound}, {false, false}, kErrorPathNotFound};
    }
    std::map<UString, TFakeEntry> FEntries;
    uint32_t FMode = 0;
};

class TFakeLocaleText final : public TLocaleText {
public:
    UString Lower(const UString& text) override {
        if (FailLowering) throw EOSError(u"lowering failed");
        return AsciiLower(text);
    }
    bool Same(const UString& a, const UString& b) override {
        Comparisons.push_back(a);
        return a == b;
    }

    bool FailLowering = false;
    std::vector<UString> Comparisons;
};
