// Helpers shared by the archive tests: text of paths, files on disk, a stream
// whose writes stop after a budget (a full disk) and one that reads in trickles.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "archive/streams.h"
#include "tests/support/zip_builder.h"
#include "tests/support/temp_dir.h"
#include "base/text.h"

inline UString U(const std::filesystem::path& path) { return path.u16string(); }

inline std::string ReadText(const std::filesystem::path& path) { return Text(ReadWholeFile(path)); }
inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteWholeFile(path, TTestBytes(text.begin(), text.end()));
}

// Folder is a folder path as the update run passes it: with a final separator.
inline UString Folder(const std::filesystem::path& path) {
    UString text = U(path);
#ifdef _WIN32
    text.push_back(u'\\');
#else
    text.push_back(u'/');
#endif
    return text;
}

// TShortWriteStream is a memory stream that accepts only budget bytes of writes.
class TShortWriteStream : public TBytesStream {
public:
    TShortWriteStream(TTestBytes bytes, int64_t budget) : TBytesStream(std::move(bytes)), FBudget(budget) {}
    int64_t Write(const void* buffer, int64_t count) override {
        const int64_t n = count < FBudget ? count : FBudget;
        FBudget -= n;
        return n > 0 ? TBytesStream::Write(buffer, n) : 0;
    }

private:
    int64_t FBudget;
};

// TTrickleStream is a memory stream that gives at most `most` bytes a read, as a pipe may.
class TTrickleStream : public TBytesStream {
public:
    TTrickleStream(TTestBytes bytes, int64_t most) : TBytesStream(std::move(bytes)), FMost(most) {}
    int64_t Read(void* buffer, int64_t count) override { return TBytesStream::Read(buffer, count < FMost ? count : FMost); }

private:
    int64_t FMost;
};

// FileCount counts the files and folders below a folder.
inline int EntriesBelow(const std::filesystem::path& folder) {
    int count = 0;
    for (auto it = std::filesystem::recursive_directory_iterator(folder); it != std::filesystem::recursive_directory_iterator(); ++it) {
        ++count;
    }
    return count;
}

// Tree maps every path below a folder to its content ("/" for a folder): two
// equal trees hold the same files and folders byte for byte.
inline std::map<std::string, std::string> Tree(const std::filesystem::path& folder) {
    std::map<std::string, std::string> tree;
    for (auto it = std::filesystem::recursive_directory_iterator(folder); it != std::filesystem::recursive_directory_iterator(); ++it) {
        const std::string relative = it->path().lexically_relative(folder).generic_u8string();
        tree[relative] = it->is_directory() ? "/" : ReadText(it->path());
    }
    return tree;
}
