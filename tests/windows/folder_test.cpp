// CreateFolderPath against real folders: each row lays out a fresh scratch
// folder, calls it on a path inside, and compares the result and everything
// that exists afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "install/folder.h"
#include "session.h"

// Rows leave their trailing fields to the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

TEST(FolderPath, CreatesWhatIsMissingOutermostFirst)
{
    struct Row {
        driver::Entries before;  // below the scratch folder
        const char* path;        // the same
        int result;
        std::vector<std::string> after;  // sorted
    } rows[] = {
        {{{"A\\"}}, "A", 1, {"A\\"}}, {{}, "A", 1, {"A\\"}},
        {{}, "A\\B\\C", 1, {"A\\", "A\\B\\", "A\\B\\C\\"}},
        {{{"A\\"}}, "A\\B\\C", 1, {"A\\", "A\\B\\", "A\\B\\C\\"}},
        // A file where a folder should be: nothing is created.
        {{{"A"}}, "A", 0, {"A"}}, {{{"A"}}, "A\\B", 0, {"A"}},
        {{{"A\\"}, {"A\\B"}}, "A\\B\\C", 0, {"A\\", "A\\B"}},
        // A trailing separator: missing or existing, the folder is there.
        {{}, "A\\", 1, {"A\\"}}, {{{"A\\"}}, "A\\", 1, {"A\\"}},
        {{}, "A\\B\\", 1, {"A\\", "A\\B\\"}},
        // Wildcards that match a folder count as that folder.
        {{{"Apps\\"}}, "App*", 1, {"Apps\\"}}, {{{"Apps"}, {"Apple\\"}}, "App*", 1, {"Apple\\", "Apps"}},
        {{{"Apps"}}, "App?", 0, {"Apps"}},
        {{}, "ソフト\\表示", 1, {"ソフト\\", "ソフト\\表示\\"}},
    };
    driver::Session session;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::string scratch = driver::MakeMediumDir("folder-test");
        ASSERT_TRUE(scratch != "" && session.Lay(scratch, row.before)) << driver::LastError();
        EXPECT_EQ(row.result, CreateFolderPath((scratch + "\\" + row.path).c_str()));
        EXPECT_EQ(row.after, driver::ListFiles(scratch, true));
    }
}

TEST(FolderPath, NeverCreatesABareDriveOrARelativeName)
{
    // Q: is not mapped in the test prefix; nothing of it may appear.
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\"));
    for (const char* path : {"", "Q:", "Q:\\", "Q:name", "Q:\\A\\B", "bad<name>", "bad<name>\\sub"})
        EXPECT_EQ(0, CreateFolderPath(path)) << path;
}

}  // namespace
