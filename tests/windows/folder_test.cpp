// CreateFolderPath against real folders: each row prepares a fresh scratch
// folder, calls it on a path inside, and compares the result and everything
// that exists afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "install/folder.h"

namespace {

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// Relative names of everything below dir, folders with a trailing "\".
void ListTree(const std::string& dir, const std::string& prefix, std::vector<std::string>* out)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out->push_back(prefix + name + "\\");
            ListTree(dir + "\\" + name, prefix + name + "\\", out);
        } else {
            out->push_back(prefix + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

class FolderPath : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        scratch_ = std::string(temp) + "pelmora-folder-test";
        RemoveTree(scratch_);
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_;
    }
    void TearDown() override { RemoveTree(scratch_); }

    // Entries ending in "\" are made as folders, others as files.
    void Prepare(const std::vector<std::string>& entries)
    {
        for (const auto& entry : entries) {
            std::string path = scratch_ + "\\" + entry;
            if (entry.back() == '\\') {
                ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
            } else {
                HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
                ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
                CloseHandle(file);
            }
        }
    }
    std::vector<std::string> Tree()
    {
        std::vector<std::string> names;
        ListTree(scratch_, "", &names);
        return Sorted(names);
    }

    std::string scratch_;
};

TEST_F(FolderPath, CreatesWhatIsMissingOutermostFirst)
{
    struct Row {
        std::vector<std::string> before;
        const char* path;  // below the scratch folder
        int result;
        std::vector<std::string> after;
    } rows[] = {
        {{"A\\"}, "A", 1, {"A\\"}},
        {{}, "A", 1, {"A\\"}},
        {{}, "A\\B\\C", 1, {"A\\", "A\\B\\", "A\\B\\C\\"}},
        {{"A\\"}, "A\\B\\C", 1, {"A\\", "A\\B\\", "A\\B\\C\\"}},
        // A file where a folder should be: nothing is created.
        {{"A"}, "A", 0, {"A"}},
        {{"A"}, "A\\B", 0, {"A"}},
        {{"A\\", "A\\B"}, "A\\B\\C", 0, {"A\\", "A\\B"}},
        // A trailing separator: missing or existing, the folder is there.
        {{}, "A\\", 1, {"A\\"}},
        {{"A\\"}, "A\\", 1, {"A\\"}},
        {{}, "A\\B\\", 1, {"A\\", "A\\B\\"}},
        // Wildcards that match a folder count as that folder.
        {{"Apps\\"}, "App*", 1, {"Apps\\"}},
        {{"Apps", "Apple\\"}, "App*", 1, {"Apple\\", "Apps"}},
        {{"Apps"}, "App?", 0, {"Apps"}},
        {{}, "ソフト\\表示", 1, {"ソフト\\", "ソフト\\表示\\"}},
        {{}, "Games\\My Tools", 1, {"Games\\", "Games\\My Tools\\"}},
    };
    for (const Row& row : rows) {
        TearDown();
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
        Prepare(row.before);
        std::string path = scratch_ + "\\" + row.path;
        EXPECT_EQ(row.result, CreateFolderPath(path.c_str())) << row.path;
        EXPECT_EQ(Sorted(row.after), Tree()) << row.path;
    }
}

TEST_F(FolderPath, NeverCreatesABareDriveOrARelativeName)
{
    struct Row {
        const char* path;
    } rows[] = {
        {""},
        {"Q:"},
        {"Q:\\"},
        {"Q:name"},
        {"Q:\\A\\B"},
        {"bad<name>"},
        {"bad<name>\\sub"},
    };
    // Q: is not mapped in the test prefix; nothing of it may appear.
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\"));
    for (const Row& row : rows)
        EXPECT_EQ(0, CreateFolderPath(row.path)) << row.path;
}

}  // namespace
