// TTempDir is a fresh folder for one test, removed with everything in it when
// the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::filesystem::path operator/(const std::string& relative) const { return FPath / relative; }

private:
    std::filesystem::path FPath;
};

// TCurrentFolder makes a folder the current one for its lifetime.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::filesystem::path& folder) : FSaved(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~TCurrentFolder() { std::filesystem::current_path(FSaved); }
    TCurrentFolder(const TCurrentFolder&) = delete;
    TCurrentFolder& operator=(const TCurrentFolder&) = delete;

private:
    std::filesystem::path FSaved;
};

std::vector<unsigned char> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
