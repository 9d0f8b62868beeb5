// make_archives writes the four benchmark archives into a folder:
//   A.zip  one 256 MiB deflated file of mixed content
//   B.zip  20,000 small files (1-16 KB) in nested folders, deflated
//   C.zip  one 256 MiB stored file
//   D.zip  an application update: 300 files of 10 KB to 20 MB, about 150 MB, deflated
// Every byte comes from fixed seeds, so each run writes the same archives.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/content.h"
#include "bench/zip_writer.h"

namespace {

using bench::TContent;
using bench::TRandom;
using bench::TZipWriter;

constexpr uint64_t kMiB = 1024 * 1024;

void MakeOneLargeFile(const std::string& path, bench::TMethod method, const char* name, uint64_t seed) {
    TZipWriter zip(path);
    TContent content(seed, bench::kMixed);
    zip.AddDirectory("data/");
    zip.AddFile(name, 256 * kMiB, method, content);
    zip.Finish();
}

// AddFolders writes a directory entry for every folder of name not written yet,
// outermost first, as archivers that walk a tree do.
void AddFolders(TZipWriter& zip, std::set<std::string>& made, const std::string& name) {
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
        const std::string folder = name.substr(0, slash + 1);
        if (made.insert(folder).second) zip.AddDirectory(folder);
    }
}

void MakeSmallFiles(const std::string& path) {
    TZipWriter zip(path);
    TContent content(0xB0B, bench::kMixed);
    TRandom random(0xB);
    std::set<std::string> made;
    int number = 0;
    for (int module = 0; module < 20; ++module)
        for (int package = 0; package < 10; ++package)
            for (int i = 0; i < 100; ++i, ++number) {
                char name[96];
                const bool nested = i % 4 == 3;  // a quarter one level deeper
                std::snprintf(name, sizeof(name), "mod%02d/pkg%02d/%sfile%05d.%s", module, package,
                              nested ? "res/" : "", number, i % 3 == 0 ? "dat" : "txt");
                AddFolders(zip, made, name);
                zip.AddFile(name, random.Between(1024, 16 * 1024), bench::kDeflated, content);
            }
    zip.Finish();
}

struct TUpdateFile {
    std::string Name;
    uint64_t Size;
    bench::TMix Mix;
};

// UpdateFiles lays out an application update: many small files, a few large
// ones, the largest the 20 MB program itself; sizes scaled to about 150 MB.
std::vector<TUpdateFile> UpdateFiles() {
    struct TKind { const char* Folder; const char* Extension; bench::TMix Mix; };
    const TKind kinds[] = {
        {"bin/", "bpl", bench::kMixed},          {"bin/plugins/", "dll", bench::kMixed},
        {"reports/", "fr3", bench::kTextual},    {"reports/templates/", "xml", bench::kTextual},
        {"help/", "htm", bench::kTextual},       {"help/images/", "png", bench::kPacked},
        {"db/migrations/", "sql", bench::kTextual}, {"lang/", "res", bench::kMixed},
        {"setup/", "cab", bench::kPacked},
    };
    const size_t kindCount = sizeof(kinds) / sizeof(kinds[0]);
    TRandom random(0xD);
    std::vector<double> raw(300);
    double sum = 0;
    for (double& r : raw) sum += r = 10e3 * std::pow(2000.0, std::pow(random.Unit(), 3.0));
    const double scale = 130e6 / sum;  // the program adds the remaining 20 MB
    std::vector<TUpdateFile> files{{"bin/Kelvo.exe", 20 * 1000 * 1000, bench::kMixed}};
    for (size_t i = 1; i < raw.size(); ++i) {
        const TKind& kind = kinds[random.Below(kindCount)];
        char name[96];
        std::snprintf(name, sizeof(name), "%sitem%03zu.%s", kind.Folder, i, kind.Extension);
        const double size = std::clamp(raw[i] * scale, 10e3, 20e6);
        files.push_back({name, static_cast<uint64_t>(size), kind.Mix});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
    return files;
}

void MakeUpdate(const std::string& path) {
    TZipWriter zip(path);
    std::set<std::string> made;
    uint64_t seed = 0xD0;
    for (const TUpdateFile& f : UpdateFiles()) {
        TContent content(++seed, f.Mix);
        AddFolders(zip, made, f.Name);
        zip.AddFile(f.Name, f.Size, bench::kDeflated, content);
    }
    zip.Finish();
}

void Make(const std::string& folder, char which) {
    const std::string path = folder + "/" + which + ".zip";
    const std::string partial = path + ".partial";
    std::printf("writing %s\n", path.c_str());
    std::fflush(stdout);
    switch (which) {
    case 'A': MakeOneLargeFile(partial, bench::kDeflated, "data/ledger.dat", 0xA); break;
    case 'B': MakeSmallFiles(partial); break;
    case 'C': MakeOneLargeFile(partial, bench::kStored, "data/media.bin", 0xC); break;
    case 'D': MakeUpdate(partial); break;
    default: throw std::runtime_error(std::string("unknown archive ") + which);
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot rename " + partial);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [A|B|C|D ...]\n", argv[0]);
        return 2;
    }
    try {
        std::string which = "ABCD";
        if (argc > 2) {
            which.clear();
            for (int i = 2; i < argc; ++i) which += argv[i];
        }
        for (char c : which) Make(argv[1], c);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_archives: %s\n", e.what());
        return 1;
    }
    return 0;
}
