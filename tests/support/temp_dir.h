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

std::vector<unsigned char> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
