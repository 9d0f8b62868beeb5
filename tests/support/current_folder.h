// TCurrentFolder makes a folder the current one for its lifetime.
#pragma once

#include <filesystem>

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
