// CreateShortcut round trips: each link written is loaded again through the
// shell's own link object and its target, working directory and description
// are read back.
#include <gtest/gtest.h>

#include <string>

#include "install/shortcut.h"
#include "session.h"

namespace {

using driver::LinkFields;

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(file);
}

class Shortcut : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        scratch_ = std::string(temp) + "pelmora-link-test";
        Clean();
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((scratch_ + "\\app").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((scratch_ + "\\app\\bin").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((scratch_ + "\\menu").c_str(), nullptr));
        Touch(scratch_ + "\\app\\readme.txt");
        Touch(scratch_ + "\\app\\bin\\tool.exe");
        Touch(scratch_ + "\\app\\サンプル.exe");
    }
    void TearDown() override { Clean(); }
    void Clean()
    {
        const char* files[] = {"\\app\\readme.txt", "\\app\\bin\\tool.exe", "\\app\\サンプル.exe"};
        for (const char* file : files)
            DeleteFileA((scratch_ + file).c_str());
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((scratch_ + "\\menu\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((scratch_ + "\\menu\\" + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA((scratch_ + "\\app\\bin").c_str());
        RemoveDirectoryA((scratch_ + "\\app").c_str());
        RemoveDirectoryA((scratch_ + "\\menu").c_str());
        RemoveDirectoryA(scratch_.c_str());
    }
    std::string scratch_;
};

TEST_F(Shortcut, WritesTargetWorkingDirectoryAndDescription)
{
    struct Row {
        const char* name;
        const char* target;       // below app
        const char* description;
        bool withWorkingDirectory;
    } rows[] = {
        {"Readme .lnk", "readme.txt", "readme.txt", true},
        {"Tool.lnk", "bin\\tool.exe", "bin\\tool.exe", true},
        {"ぺるもら サンプル.lnk", "サンプル.exe", "サンプル.exe", true},
        {"NoText.lnk", "readme.txt", "", true},
        {"NoFolder.lnk", "readme.txt", "readme.txt", false},
    };
    for (const Row& row : rows) {
        std::string link = scratch_ + "\\menu\\" + row.name;
        std::string target = scratch_ + "\\app\\" + row.target;
        std::string workingDirectory = row.withWorkingDirectory ? scratch_ + "\\app" : "";
        HRESULT result =
            CreateShortcut(target.c_str(), link.c_str(), workingDirectory.c_str(), row.description);
        EXPECT_GE(result, 0) << row.name;
        ASSERT_TRUE(Exists(link)) << row.name;
        LinkFields fields = driver::ReadLink(link);
        EXPECT_EQ(S_OK, fields.loaded) << row.name;
        EXPECT_EQ(target, fields.target) << row.name;
        EXPECT_EQ(workingDirectory, fields.workingDirectory) << row.name;
        EXPECT_EQ(row.description, fields.description) << row.name;
    }
}

TEST_F(Shortcut, FailsWithoutCreatingTheLinkFolder)
{
    std::string folder = scratch_ + "\\missing";
    std::string link = folder + "\\Readme.lnk";
    std::string target = scratch_ + "\\app\\readme.txt";
    HRESULT result = CreateShortcut(target.c_str(), link.c_str(), "", "readme.txt");
    EXPECT_LT(result, 0);
    EXPECT_FALSE(Exists(folder));
}

TEST_F(Shortcut, TakesALinkPathOfExactly259Bytes)
{
    // Shift-JIS characters of two bytes each become one wide character.
    std::string stem = scratch_ + "\\menu\\";
    for (int i = 0; i < 10; ++i)
        stem += "ソ";
    std::string link = stem + std::string(259 - stem.size() - 4, 'x') + ".lnk";
    ASSERT_EQ(259u, link.size());
    std::string target = scratch_ + "\\app\\readme.txt";
    EXPECT_GE(CreateShortcut(target.c_str(), link.c_str(), "", "readme.txt"), 0);
    EXPECT_EQ(target, driver::ReadLink(link).target);
}

TEST_F(Shortcut, RefusesALinkPathLongerThanItsBuffer)
{
    std::string link = scratch_ + "\\menu\\" + std::string(300, 'x') + ".lnk";
    std::string target = scratch_ + "\\app\\readme.txt";
    EXPECT_LT(CreateShortcut(target.c_str(), link.c_str(), "", "readme.txt"), 0);
}

TEST_F(Shortcut, WorksAgainAndAgainOnOneThread)
{
    std::string target = scratch_ + "\\app\\readme.txt";
    for (int i = 0; i < 5; ++i) {
        std::string link = scratch_ + "\\menu\\again" + std::to_string(i) + ".lnk";
        EXPECT_GE(CreateShortcut(target.c_str(), link.c_str(), "", "readme.txt"), 0) << i;
        EXPECT_EQ(target, driver::ReadLink(link).target) << i;
    }
}

}  // namespace
