#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

TTempDir::TTempDir() {
    std::random_device entropy;
    std::mt19937_64 random(entropy() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("kelvo-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            FPath = candidate;
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    fs::remove_all(FPath, ignored);
}

std::vector<unsigned char> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path.string());
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
