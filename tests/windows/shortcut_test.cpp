// CreateShortcut round trips: each link written is loaded again through the
// shell's own link object and its target, working directory and description
// are read back. Links of a real install, several from one process, are read
// back in the e2e Install suite.
#include <gtest/gtest.h>

#include <string>

#include "install/shortcut.h"
#include "session.h"

// Rows leave their trailing fields to the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

class Shortcut : public testing::Test {
protected:
    void SetUp() override
    {
        scratch_ = driver::MakeMediumDir("link-test");
        ASSERT_TRUE(scratch_ != "" && session_.Lay(scratch_, {{"app\\readme.txt"},
                                                              {"app\\サンプル.exe"}, {"menu\\"}}))
            << driver::LastError();
        target_ = scratch_ + "\\app\\readme.txt";
    }
    driver::Session session_;
    std::string scratch_, target_;
};

// One after another on one thread.
TEST_F(Shortcut, WritesTargetWorkingDirectoryAndDescription)
{
    struct Row {
        const char* name;
        const char* target;  // below app
        const char* description;
        bool withWorkingDirectory;
    } rows[] = {
        {"ぺるもら サンプル.lnk", "サンプル.exe", "サンプル.exe", true}, {"NoText.lnk", "readme.txt", "", true},
        {"NoFolder.lnk", "readme.txt", "readme.txt", false}, {"Readme .lnk", "readme.txt", "readme.txt", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string link = scratch_ + "\\menu\\" + row.name;
        std::string target = scratch_ + "\\app\\" + row.target;
        std::string workingDirectory = row.withWorkingDirectory ? scratch_ + "\\app" : "";
        EXPECT_GE(CreateShortcut(target.c_str(), link.c_str(), workingDirectory.c_str(),
                                 row.description), 0);
        driver::LinkFields fields = driver::ReadLink(link);
        EXPECT_EQ(S_OK, fields.loaded);
        EXPECT_EQ(target, fields.target);
        EXPECT_EQ(workingDirectory, fields.workingDirectory);
        EXPECT_EQ(row.description, fields.description);
    }
}

// Shift-JIS characters of two bytes each become one wide character: a link
// path of exactly 259 bytes is taken, a longer one refused, and so is a link
// in a folder that is not there, which is not made either.
TEST_F(Shortcut, TakesALinkPathOfUpTo259BytesInAFolderThatIsThere)
{
    std::string stem = scratch_ + "\\menu\\";
    for (int i = 0; i < 10; ++i)
        stem += "ソ";
    std::string link = stem + std::string(259 - stem.size() - 4, 'x') + ".lnk";
    ASSERT_EQ(259u, link.size());
    EXPECT_GE(CreateShortcut(target_.c_str(), link.c_str(), "", "readme.txt"), 0);
    EXPECT_EQ(target_, driver::ReadLink(link).target);
    link = scratch_ + "\\menu\\" + std::string(300, 'x') + ".lnk";
    EXPECT_LT(CreateShortcut(target_.c_str(), link.c_str(), "", "readme.txt"), 0);
    std::string folder = scratch_ + "\\missing";
    EXPECT_LT(CreateShortcut(target_.c_str(), (folder + "\\Readme.lnk").c_str(), "", "readme.txt"), 0);
    EXPECT_FALSE(driver::DirectoryExists(folder));
}

}  // namespace
