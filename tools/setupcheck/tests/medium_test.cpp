// How the Linux build finds the script's Shift-JIS names in a folder on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "display.h"
#include "medium.h"

namespace {

class MediumFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/setupcheck-medium-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override
    {
        std::string command = "rm -rf '" + root_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    void File(const std::string& name, const std::string& content)
    {
        FILE* file = std::fopen((root_ + "/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    void Folder(const std::string& name) { ASSERT_EQ(mkdir((root_ + "/" + name).c_str(), 0755), 0); }

    std::string root_;
};

struct ProbeRow {
    const char* name;  // as the script writes it (Shift-JIS)
    bool found;
    int match;
    unsigned long long size;
};

TEST_F(MediumFolder, NamesAreFoundAsWindowsWouldFindThem)
{
    File("plain.txt", "12345");
    File("\x83\x5C\x83\x74\x83\x67.txt", "raw");                      // ソフト.txt, Shift-JIS bytes
    File(SjisToUtf8("説明書.txt"), "utf-8");                           // the usual Linux name
    File("UPPER.TXT", "up");
    Folder("sub");
    File("sub/inner.dat", "inner!");
    Folder(SjisToUtf8("資料"));
    File(SjisToUtf8("資料") + "/" + SjisToUtf8("表.txt"), "table");   // 表 = 0x95 0x5C

    auto medium = OpenMediumFolder(root_);
    const ProbeRow rows[] = {
        {"plain.txt", true, kMatchExact, 5},
        {"PLAIN.txt", true, kMatchCase, 5},
        {"plain.txt  ", true, kMatchExact, 5},   // Windows drops trailing blanks
        {"plain.txt.", true, kMatchExact, 5},
        {"ソフト.txt", true, kMatchExact, 3},
        {"説明書.txt", true, kMatchUtf8Name, 5},
        {"upper.txt", true, kMatchCase, 2},
        {"sub\\inner.dat", true, kMatchExact, 6},
        {"sub/inner.dat", true, kMatchExact, 6},
        {"SUB\\INNER.DAT", true, kMatchCase, 6},
        {"資料\\表.txt", true, kMatchUtf8Name, 5},
        {"missing.txt", false, kMatchExact, 0},
        {"sub\\missing.txt", false, kMatchExact, 0},
        {"ソフト", false, kMatchExact, 0},
        {"", false, kMatchExact, 0},
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
}

TEST_F(MediumFolder, ReadsTheScriptWhateverItsCase)
{
    File("SETUP.INI", "[Install]\r\n");
    auto medium = OpenMediumFolder(root_);
    std::string bytes;
    ASSERT_TRUE(medium->Read("setup.ini", 1 << 20, &bytes));
    EXPECT_EQ(bytes, "[Install]\r\n");
    ASSERT_TRUE(medium->Read("setup.ini", 4, &bytes));
    EXPECT_EQ(bytes, "[Ins");
    EXPECT_FALSE(medium->Read("other.ini", 10, &bytes));
}

}  // namespace
