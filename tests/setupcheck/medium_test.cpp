// How the Linux build finds the script's Shift-JIS names in a folder on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "display.h"
#include "medium.h"

namespace {

namespace fs = std::filesystem;

struct ProbeRow {
    const char* name;  // as the script writes it (Shift-JIS)
    bool found;
    int match;
    unsigned long long size;
};

TEST(MediumFolder, NamesAreFoundAsWindowsWouldFindThem)
{
    char pattern[] = "/tmp/setupcheck-medium-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    auto file = [&](const std::string& name, const std::string& content) {
        fs::create_directories((root / name).parent_path());
        std::ofstream(root / name, std::ios::binary) << content;
    };
    file("plain.txt", "12345");
    file("\x83\x5C\x83\x74\x83\x67.txt", "raw");                      // ソフト.txt, Shift-JIS bytes
    file(SjisToUtf8("説明書.txt"), "utf-8");                           // the usual Linux name
    file("UPPER.TXT", "up");
    file("SETUP.INI", "[Install]\r\n");
    file("sub/inner.dat", "inner!");
    file(SjisToUtf8("資料") + "/" + SjisToUtf8("表.txt"), "table");   // 表 = 0x95 0x5C

    auto medium = OpenMediumFolder(root.string());
    const ProbeRow rows[] = {
        // Windows drops trailing blanks and dots.
        {"plain.txt", true, kMatchExact, 5}, {"PLAIN.txt", true, kMatchCase, 5},
        {"plain.txt  ", true, kMatchExact, 5}, {"plain.txt.", true, kMatchExact, 5},
        {"ソフト.txt", true, kMatchExact, 3}, {"説明書.txt", true, kMatchUtf8Name, 5},
        {"upper.txt", true, kMatchCase, 2},
        {"sub\\inner.dat", true, kMatchExact, 6}, {"sub/inner.dat", true, kMatchExact, 6},
        {"SUB\\INNER.DAT", true, kMatchCase, 6}, {"資料\\表.txt", true, kMatchUtf8Name, 5},
        {"missing.txt", false, kMatchExact, 0}, {"sub\\missing.txt", false, kMatchExact, 0},
        {"ソフト", false, kMatchExact, 0}, {"", false, kMatchExact, 0},
    };
    for (const ProbeRow& row : rows) {
        FileState state = medium->Probe(row.name);
        EXPECT_EQ(state.found, row.found) << SjisToUtf8(row.name);
        if (!row.found)
            continue;
        EXPECT_FALSE(state.folder) << SjisToUtf8(row.name);
        EXPECT_EQ(state.match, row.match) << SjisToUtf8(row.name);
        EXPECT_EQ(state.size, row.size) << SjisToUtf8(row.name);
    }
    EXPECT_TRUE(medium->Probe("Sub").folder);
    // The script, whatever its case, read up to the limit given.
    std::string bytes;
    ASSERT_TRUE(medium->Read("setup.ini", 1 << 20, &bytes));
    EXPECT_EQ(bytes, "[Install]\r\n");
    ASSERT_TRUE(medium->Read("setup.ini", 4, &bytes));
    EXPECT_EQ(bytes, "[Ins");
    EXPECT_FALSE(medium->Read("other.ini", 10, &bytes));
    fs::remove_all(root);
}

}  // namespace
