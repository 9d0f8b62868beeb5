// Every archive from the public ZIP readers' test data must end in success or
// in one of the clear errors, and must never write outside the target folder.
#include <gtest/gtest.h>

#include <set>

#include "base/exception.h"
#include "tests/archive/support/update_run.h"

namespace fs = std::filesystem;

namespace {

bool IsClearError(const Exception& e) {
    static const std::set<std::string> kTexts = {
        "Error reading zip file", "Invalid Zip Central Header signature", "Invalid Zip Local Header signature",
        "Item not found", "data error", "Stream read error", "Stream write error",
        "No mapping for the Unicode character exists in the target multi-byte code page",
        "Invalid characters in path", "The path format is not supported"};
    const std::string text = e.what();
    return kTexts.count(text) != 0 || text.rfind("Cannot create file \"", 0) == 0 ||
           text.rfind("Checksum error in \"", 0) == 0 ||
           (text.rfind("Entry \"", 0) == 0 && text.find("\" would be written outside the target folder") != std::string::npos);
}

}  // namespace

TEST(ZipPeers, EveryArchiveEndsInSuccessOrAClearError) {
    const fs::path peers = KELVO_ZIP_PEERS_DIR;
    ASSERT_TRUE(fs::is_directory(peers)) << "the peer archives are missing: no folder " << peers
                                         << " (set KELVO_ZIP_PEERS_DIR to where they are)";
    int archives = 0, succeeded = 0;
    for (const fs::directory_entry& item : fs::directory_iterator(peers)) {
        if (item.path().extension() != ".zip") continue;
        SCOPED_TRACE(item.path().filename().string());
        ++archives;
        TUpdateFolder f;
        try {
            f.Run(ReadWholeFile(item.path()));
            ++succeeded;
        } catch (const Exception& e) {
            EXPECT_TRUE(IsClearError(e)) << e.what();
        }
        for (const fs::directory_entry& top : fs::directory_iterator(f.Root())) {
            const std::string name = top.path().filename().string();
            EXPECT_TRUE(name == "Data.dat" || name == "out") << "written outside: " << name;
        }
    }
    EXPECT_GE(archives, 100);
    EXPECT_GE(succeeded, 50);
}
