// Decisions of the settings dialog: default boxes, the proposal, the check of
// a typed entry and the path that browsing proposes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "shell/settings_logic.h"
#include "shell/state.h"

namespace {

const char kGuard = '#';

// A kPathSize buffer followed by guard bytes, so a write past the buffer
// shows as a changed guard.
struct PathBuffer {
    char bytes[kPathSize + 40];
    explicit PathBuffer(const std::string& initial)
    {
        std::memset(bytes, kGuard, sizeof bytes);
        std::memcpy(bytes, initial.c_str(), initial.size() + 1);
    }
    std::string Text() const { return std::string(bytes); }
    bool GuardsIntact() const
    {
        return std::all_of(bytes + kPathSize, std::end(bytes), [](char b) { return b == kGuard; });
    }
};

TEST(IsDefaultBoxChecked, FirstOneNotFollowedByADigit)
{
    struct Row {
        const char* value;
        int expected;
    } rows[] = {
        {"1", 1},       {"01", 1},  {"21", 1},  {"1 ", 1},   {"x1y", 1},
        {"1a1", 1},     {"0", 0},   {"10", 0},  {"11", 0},   {"101", 0},
        {"2", 0},       {"yes", 0}, {"", 0},    {"19", 0},   {"1.0", 1},
        // Only the first "1" counts, even when a later one would check.
        {"12 1", 0},
        // The full-width digit one (0x82 0x50) is not "1".
        {"\x82\x50", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, IsDefaultBoxChecked(row.value)) << "value '" << row.value << "'";
}

TEST(ProposeInstallDir, AppendsTheFolderNameWithoutSeparator)
{
    const std::string longName(300, 'n');
    struct Row {
        const char* copyDir;
        std::string expected;
    } rows[] = {
        {nullptr, "C:\\Pelmora"}, {"", "C:\\Pelmora"}, {"Apps\\Tool", "C:\\Apps\\Tool"},
        {" Tools", "C:\\ Tools"}, {"ぺるもら", "C:\\ぺるもら"},
        {longName.c_str(), "C:\\" + std::string(256, 'n')},
    };
    for (const Row& row : rows) {
        PathBuffer installDir("C:\\");
        ProposeInstallDir(installDir.bytes, row.copyDir);
        EXPECT_EQ(row.expected, installDir.Text()) << (row.copyDir ? row.copyDir : "(null)");
        EXPECT_TRUE(installDir.GuardsIntact());
    }
}

// A refused entry leaves installDir as it was: C:\Pelmora.
TEST(CheckInstallEntry, StoresAcceptedEntriesOnly)
{
    const std::string atBound = "C:\\" + std::string(256, 'a');
    const std::string kept = "C:\\Pelmora";
    const int kOk = kEntryAccepted, kBad = kEntryBadCharacter, kNameless = kEntryNamelessFolder;
    struct Row {
        std::string entry;
        int expected;
        std::string stored;
    } rows[] = {
        {"  D:\\Games\\Tool\\  ", kOk, "D:\\Games\\Tool"}, {"D:\\Tool  ", kOk, "D:\\Tool  "},
        {"\t D:\\Tool", kOk, "D:\\Tool"}, {"D:\\Tool:2", kOk, "D:\\Tool:2"}, {"C:\\", kOk, "C:"},
        {"C:\\ \t", kOk, "C:"}, {"D:\\Tool\\ \t ", kOk, "D:\\Tool"},
        {"D: \\ Tool \\x", kOk, "D: \\ Tool \\x"}, {"relative\\path", kOk, "relative\\path"},
        {"\\", kOk, ""}, {"", kOk, ""}, {"   \t ", kOk, ""}, {"D:\\ぺるもら", kOk, "D:\\ぺるもら"},
        // A trail byte 0x5C at the end is cut like a final separator.
        {"D:\\\x83\x5C", kOk, "D:\\\x83"}, {atBound, kOk, atBound},
        {"D:\\My*Tool", kBad, kept}, {"D:\\My|Tool", kBad, kept}, {"D:/Tool", kBad, kept},
        {"D:\\Tool?", kBad, kept}, {"D:\\\"Tool\"", kBad, kept}, {"D:\\<Tool", kBad, kept},
        {"D:\\Tool>", kBad, kept}, {"|", kBad, kept},
        // Trail byte 0x7C: the katakana ポ counts as a vertical bar.
        {"D:\\\x83\x7C", kBad, kept},
        {"D:\\\\Tool", kNameless, kept}, {"D:\\ \\Tool", kNameless, kept}, {"D:\\Tool\\\\", kNameless, kept},
        {"D:\\Tool\\ \\ ", kNameless, kept}, {"\\\\server\\share", kNameless, kept},
        // Trail byte 0x5C followed by a backslash: a folder without a name.
        {"D:\\\x83\x5C\\Tool", kNameless, kept},
        // The character test comes first.
        {"D:\\\\My*Tool", kBad, kept},
    };
    for (const Row& row : rows) {
        PathBuffer text(row.entry);
        PathBuffer installDir(kept);
        EXPECT_EQ(row.expected, CheckInstallEntry(text.bytes, installDir.bytes))
            << "entry '" << row.entry << "'";
        EXPECT_EQ(row.stored, installDir.Text()) << "entry '" << row.entry << "'";
        EXPECT_TRUE(installDir.GuardsIntact());
        EXPECT_TRUE(text.GuardsIntact());
    }
}

TEST(ComposeBrowsedPath, AppendsTheProposedFolderNameWithinTheBuffer)
{
    const std::string w255(255, 'w'), w254(254, 'w'), w256(256, 'w');
    struct Row {
        const char* installDir;
        std::string path;
        std::string expected;
    } rows[] = {
        {"C:\\Apps\\Tool", "D:\\Work", "D:\\Work\\Tool"}, {"C:\\Apps\\Tool", "D:\\work\\TOOL", "D:\\work\\TOOL"},
        {"C:\\Apps\\Tool", "D:\\Tool", "D:\\Tool"}, {"C:\\Apps\\Tool", "E:\\", "E:\\Tool"},
        {"C:\\Apps\\Tool", "D:\\Tools", "D:\\Tools\\Tool"}, {"C:\\Apps\\Tool", "D:\\To", "D:\\To\\Tool"},
        // Only "a" to "z" are folded: "[" and "{" differ by 32 too.
        {"C:\\[x", "D:\\{X", "D:\\{X\\[x"},
        // A folder name with its leading blank, as a CopyDir value gives it.
        {"C:\\ Tools", "D:\\Work", "D:\\Work\\ Tools"},
        // The proposal ends in a separator: nothing to append.
        {"C:\\Tools\\", "D:\\Work", "D:\\Work\\"}, {"C:\\Tools\\", "E:\\", "E:\\"},
        // A trail byte 0x5C ends the path as a separator would.
        {"C:\\Apps\\Tool", "D:\\\x83\x5C", "D:\\\x83\x5CTool"},
        // No file-system path: the edit keeps its text.
        {"C:\\Apps\\Tool", "", ""},
        // A bare name is the chosen folder's name.
        {"C:\\Apps\\Tool", "Work", "Work\\Tool"}, {"C:\\Apps\\Tool", "tool", "tool"},
        // A proposal without any folder name appends nothing.
        {"Pelmora", "D:\\Work", "D:\\Work"}, {"", "D:\\Work", "D:\\Work"},
        // Near the bound: room for the separator only, then for one letter
        // of the name, then for nothing.
        {"C:\\Tool", "D:\\" + w255, "D:\\" + w255 + "\\"},
        {"C:\\Tool", "D:\\" + w254, "D:\\" + w254 + "\\T"},
        {"C:\\Tool", "D:\\" + w256, "D:\\" + w256},
    };
    for (const Row& row : rows) {
        PathBuffer path(row.path);
        ComposeBrowsedPath(path.bytes, row.installDir);
        EXPECT_EQ(row.expected, path.Text()) << row.installDir << " + '" << row.path << "'";
        EXPECT_TRUE(path.GuardsIntact());
    }
}

}  // namespace
