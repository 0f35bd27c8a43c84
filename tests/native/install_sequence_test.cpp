// The install sequence driven by the recording fake of the platform, whose
// log the tests compare with what the user and the file system would see.
#include "fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::string> Matching(const std::string& prefix)
{
    std::vector<std::string> lines;
    for (const auto& line : fake->log)
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    return lines;
}

// The log line of a shortcut `link` + ".lnk" to `target` in C:\Pelmora.
std::string Link(const std::string& link, const std::string& target)
{
    return "link " + link + ".lnk = C:\\Pelmora\\" + target + " in C:\\Pelmora : " + target;
}

const char kGroupFailureBox[] = "box 1 48 スタートメニューのグループの登録に失敗しました";
const char kDoneBox[] = "box 1 64 インストールが完了しました";

class InstallSequence : public testing::Test {
protected:
    void SetUp() override { fake = &fakeState; }
    void TearDown() override
    {
        EXPECT_EQ(0, fake->broken) << "a call the install must never make";
        FreeScript();
        fake = nullptr;
    }
    // A fresh fake, and the process state as start-up and the settings
    // dialog leave it.
    void Fresh(const std::string& script, int startMenu = 0, int startUp = 0)
    {
        EXPECT_EQ(0, fake->broken) << "a call the install must never make";
        fakeState = Fake();
        PrepareInstall(script.c_str(), script.size(), startMenu, startUp);
    }
    Fake fakeState;
};

std::string Lines(const char* section, int count, const char* stem)
{
    std::string text = std::string("[") + section + "]\r\n";
    for (int i = 1; i <= count; ++i)
        text += std::string(stem) + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(InstallSequence, TakesOneStepPerEntryAndOnePerSectionEnd)
{
    struct Row {
        int install, windows, system;
    } rows[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {3, 2, 4}, {12, 0, 1}};
    for (const Row& row : rows) {
        // Shortcut sets without their flags: no shell folder is even looked up.
        Fresh(Lines("Install", row.install, "a") + Lines("InstallWindows", row.windows, "w") +
              Lines("InstallSystem", row.system, "s") + Lines("StarMenuSet", 1, "A|a") +
              Lines("StartUpSet", 1, "B|b"));
        EXPECT_EQ(row.install + row.windows + row.system + 3, RunDialog())
            << row.install << " " << row.windows << " " << row.system;
        EXPECT_EQ(size_t(row.install + row.windows + row.system), Matching("copy ").size());
        // The folder is made once, at the first step, even with nothing to copy.
        EXPECT_EQ(std::vector<std::string>{"mkdir C:\\Pelmora"}, Matching("mkdir "));
        EXPECT_EQ(std::vector<std::string>{"close"}, Matching("close"));
        EXPECT_TRUE(Matching("folder ").empty());
    }
}

// Every copy fails, but only a file of Install is worth a warning; the
// install goes on after it.
TEST_F(InstallSequence, RunsEveryStepInOrderAndWarnsOnlyAboutInstallCopies)
{
    Fresh("[init]\r\nStartMenuGroup=Games\\Tools\r\n[Install]\r\n sub\\a.dat\r\n"
          "[InstallWindows]\r\nwin.ini\r\n[InstallSystem]\r\nsys.dll \r\n"
          "[StarMenuSet]\r\nGame|game.exe\r\n[StartUpSet]\r\nAgent|agent.exe\r\n",
          1, 1);
    fake->copyFails = [](const char*) { return true; };
    RunDialog();
    // One line per step: its fields, its copy, its warning, the next arming.
    std::vector<std::string> expected = {
        "timer 50", "mkdir C:\\Pelmora",
        "field 1003 D:\\medium\\sub\\a.dat", "field 1012 C:\\Pelmora\\sub\\a.dat",
        "copy D:\\medium\\sub\\a.dat > C:\\Pelmora\\sub\\a.dat 0",
        "box 0 48 コピーできませんでした：D:\\medium\\sub\\a.dat -> C:\\Pelmora\\sub\\a.dat", "timer 10",
        "timer 10",
        "field 1003 D:\\medium\\win.ini", "field 1012 C:\\WINDOWS\\win.ini",
        "copy D:\\medium\\win.ini > C:\\WINDOWS\\win.ini 1", "timer 10",
        "timer 10",
        // Trailing blanks of the entry stay, on both sides.
        "field 1003 D:\\medium\\sys.dll ", "field 1012 C:\\WINDOWS\\SYSTEM\\sys.dll ",
        "copy D:\\medium\\sys.dll  > C:\\WINDOWS\\SYSTEM\\sys.dll  1", "timer 10",
        "hide 1018", "hide 1019", "hide 1003", "hide 1012",
        "folder 2", "mkdir C:\\Menu\\Programs\\Games\\Tools",
        Link("C:\\Menu\\Programs\\Games\\Tools\\Game", "game.exe"),
        "folder 7", Link("C:\\Menu\\StartUp\\Agent", "agent.exe"),
        "show 1020", "caption ぺるもらセットアップ プログラム", "field 2 終了(&E)", kDoneBox,
        // No "end": the backdrop's close ends the dialog, not the install.
        "close",
    };
    EXPECT_EQ(expected, fake->log);
}

// Cut, the source or the destination would name another file; no copy beats
// a wrong one, and the next entry is copied all the same.
TEST_F(InstallSequence, DoesNotCopyUnderAPathCutAtTheBoundAndCutsTheWarning)
{
    const std::string deep = "C:\\" + std::string(250, 'd');  // 253 characters
    for (bool deepSource : {false, true}) {
        for (std::string entry : {"12345", "123456", "1234567.txt"}) {
            Fresh("[Install]\r\n" + entry + "\r\nlast\r\n");
            std::strcpy(deepSource ? SourceDir : InstallDir, deep.c_str());
            std::strcpy(deepSource ? InstallDir : SourceDir, "D:");
            RunDialog();
            const bool whole = entry.size() == 5;
            EXPECT_EQ(whole ? 2u : 1u, Matching("copy ").size()) << entry;
            EXPECT_EQ("copy " + std::string(SourceDir) + "\\last > " + InstallDir + "\\last 0",
                      Matching("copy ").back());
            std::string source = std::string(SourceDir) + "\\" + entry;
            std::string warning = "コピーできませんでした：" + source.substr(0, kPathBound) + " -> " +
                                  InstallDir + "\\" + entry;
            std::vector<std::string> boxes;
            if (!whole)
                boxes.push_back("box 0 48 " + warning.substr(0, kPathBound));
            EXPECT_EQ(boxes, Matching("box 0 ")) << entry;
        }
    }
}

TEST_F(InstallSequence, MakesTheGroupNamedByTheScriptOrPelmora)
{
    const char* const kGroup = "C:\\Menu\\Programs\\Pelmora";
    struct Row {
        const char* init;
        const char* entries;
        const char* folder;
    } rows[] = {
        // An empty set still gets its group.
        {"", "A|a.exe\r\n", kGroup}, {"", "", kGroup}, {"[init]\r\nStartMenuGroup=\r\n", "A|a.exe\r\n", kGroup},
        {"[init]\r\nStartMenuGroup=Games\\Tools\r\n", "A|a.exe\r\n", "C:\\Menu\\Programs\\Games\\Tools"},
        {"[init]\r\nstartmenugroup= My Game \r\n", "A|a.exe\r\n", "C:\\Menu\\Programs\\ My Game "},
        {"[init]\r\nStartMenuGroup=ソフト\r\n", "A|a.exe\r\n", "C:\\Menu\\Programs\\ソフト"},
    };
    for (const Row& row : rows) {
        Fresh(std::string(row.init) + "[StarMenuSet]\r\n" + row.entries, 1, 0);
        RunDialog();
        std::vector<std::string> made = {"mkdir C:\\Pelmora", std::string("mkdir ") + row.folder};
        EXPECT_EQ(made, Matching("mkdir ")) << row.init;
        std::vector<std::string> links;
        if (row.entries[0] != '\0')
            links.push_back(Link(std::string(row.folder) + "\\A", "a.exe"));
        EXPECT_EQ(links, Matching("link ")) << row.init;
    }
}

// A line is skipped without its "|", or where the link or the target would
// be cut (16 + 240 + 4 characters for the link; 11 + 250 for the target).
TEST_F(InstallSequence, SplitsShortcutLinesAndSkipsThoseWhosePathsWouldBeCut)
{
    const std::string n240(240, 'n'), n250(250, 'n');
    struct Row {
        std::string line;
        const char* name;  // nullptr: skipped
        std::string target;
    } rows[] = {
        {"Readme | readme.txt", "Readme ", "readme.txt"}, {"Tool|bin\\tool.exe", "Tool", "bin\\tool.exe"},
        {"  Lead|\t x.exe ", "Lead", "x.exe "}, {"Two|a|b", "Two", "a|b"}, {"Empty|", "Empty", ""},
        {"|x.exe", "", "x.exe"}, {"|", "", ""},
        // 0x83 0x7C is no Shift-JIS character, but the byte 0x7C is "|" all the same.
        {"\x83|x", "\x83", "x"},
        {"NoBar x.exe", nullptr, ""}, {n240 + "|a.exe", nullptr, ""}, {"Ok|" + n240, "Ok", n240},
        {"Far|" + n250, nullptr, ""},
    };
    for (const Row& row : rows) {
        Fresh("[StartUpSet]\r\n" + row.line + "\r\nAfter|after.exe\r\n", 0, 1);
        RunDialog();
        // The line after is written whether or not this one was skipped.
        std::vector<std::string> expected = {Link("C:\\Menu\\StartUp\\After", "after.exe")};
        if (row.name != nullptr)
            expected.insert(expected.begin(),
                            Link(std::string("C:\\Menu\\StartUp\\") + row.name, row.target));
        EXPECT_EQ(expected, Matching("link ")) << row.line;
        EXPECT_TRUE(Matching("box 1 48").empty());
    }
}

TEST_F(InstallSequence, SkipsOnlyThePassWhoseFolderOrGroupIsMissing)
{
    const char* const kPrograms = "C:\\Menu\\Programs";
    const char* const kStartUp = "C:\\Menu\\StartUp";
    struct Row {
        int programsFound;
        const char* programs;
        int startUpFound;
        const char* startUp;
        bool menuLink, startUpLink;
    } rows[] = {
        {0, "C:\\Stale", 1, kStartUp, false, true}, {1, "", 1, kStartUp, false, true},
        {1, nullptr, 1, kStartUp, false, true}, {1, kPrograms, 0, "C:\\Stale", true, false},
        {1, kPrograms, 1, "", true, false}, {1, kPrograms, 1, nullptr, true, false},
        {0, "", 0, "", false, false},
        // The group cannot be made.
        {1, "C:\\Bad", 1, kStartUp, false, true},
    };
    for (const Row& row : rows) {
        Fresh("[StarMenuSet]\r\nA|a.exe\r\n[StartUpSet]\r\nB|b.exe\r\n", 1, 1);
        fake->found[0] = row.programsFound;
        fake->folders[0] = row.programs;
        fake->found[1] = row.startUpFound;
        fake->folders[1] = row.startUp;
        std::strcpy(ShellFolderDir, "C:\\Left\\Over");
        RunDialog();
        std::vector<std::string> links;
        if (row.menuLink)
            links.push_back(Link("C:\\Menu\\Programs\\Pelmora\\A", "a.exe"));
        if (row.startUpLink)
            links.push_back(Link("C:\\Menu\\StartUp\\B", "b.exe"));
        EXPECT_EQ(links, Matching("link ")) << "row " << &row - rows;
        // The user hears of a Start Menu that cannot be had; the completion follows.
        std::vector<std::string> boxes = {kDoneBox};
        if (!row.menuLink)
            boxes.insert(boxes.begin(), kGroupFailureBox);
        EXPECT_EQ(boxes, Matching("box ")) << "row " << &row - rows;
        EXPECT_EQ(1u, Matching("close").size());
    }
}

// Steps run by hand: the dialog posts steps only to itself, so any other step
// does nothing, and so does a step still queued after the backdrop has freed
// the script.
TEST_F(InstallSequence, CancelEndsTheDialogBetweenStepsAndLaterStepsDoNothing)
{
    Fresh("[Install]\r\na\r\nb\r\nc\r\n[StartUpSet]\r\nB|b\r\n", 0, 1);
    StartInstall(kFakePlatform);
    TickInstall(kFakePlatform);
    RunInstallStep(kFakePlatform, 3, 1);
    RunInstallStep(kFakePlatform, -1, 1);
    RunInstallStep(kFakePlatform, 0, 0);
    RunInstallStep(kFakePlatform, 0, 1);
    CancelInstall(kFakePlatform);
    FreeScript();
    RunInstallStep(kFakePlatform, 0, 1);
    std::vector<std::string> expected = {
        "timer 50", "mkdir C:\\Pelmora", "field 1003 D:\\medium\\a", "field 1012 C:\\Pelmora\\a",
        "copy D:\\medium\\a > C:\\Pelmora\\a 0", "timer 10", "close", "end"};
    EXPECT_EQ(expected, fake->log);
}

// The boxes of the finish sequence are owned by the backdrop, so the copy
// dialog's button still works inside them; the backdrop then frees the script.
// Nothing may follow: no StartUp pass, no done mark, no second close.
TEST_F(InstallSequence, CancelInsideAFinishBoxStopsTheFinish)
{
    for (int startMenu : {1, 0}) {
        Fresh("[StarMenuSet]\r\nA|a\r\n[StartUpSet]\r\nB|b\r\n", startMenu, 1);
        fake->folders[0] = "C:\\Bad";
        fake->onBox = [](int, const char*) {
            CancelInstall(kFakePlatform);
            FreeScript();
        };
        RunDialog();
        std::vector<std::string> tail = {startMenu ? kGroupFailureBox : kDoneBox, "close", "end"};
        EXPECT_EQ(tail, std::vector<std::string>(fake->log.end() - 3, fake->log.end()));
        EXPECT_EQ(1u, Matching("box ").size());
        EXPECT_EQ(1u, Matching("close").size());
    }
}

TEST(ComposePath, JoinsWithOneInsertedSeparatorWithinTheBound)
{
    std::string dir252 = "C:\\" + std::string(249, 'd');
    struct Row {
        std::string directory;
        const char* name;
        const char* suffix;
        std::string expected;
        int whole;
    } rows[] = {
        {"C:\\Pelmora", "a.txt", nullptr, "C:\\Pelmora\\a.txt", 1}, {"D:\\", "a.txt", nullptr, "D:\\\\a.txt", 1},
        {"C:", "a", nullptr, "C:\\a", 1}, {"", "a", nullptr, "\\a", 1}, {"C:\\x", "", nullptr, "C:\\x\\", 1},
        {"C:\\g", "Readme ", ".lnk", "C:\\g\\Readme .lnk", 1}, {"C:\\ソ", "ソ", nullptr, "C:\\ソ\\ソ", 1},
        {dir252, "12", ".lnk", dir252 + "\\12.lnk", 1},     // 259: exactly at the bound
        {dir252, "123", ".lnk", dir252 + "\\123.ln", 0},    // one past it
        {dir252, "123456", nullptr, dir252 + "\\123456", 1}, {dir252, "1234567", nullptr, dir252 + "\\123456", 0},
        {std::string(259, 'd'), "a", nullptr, std::string(259, 'd'), 0},
        {std::string(258, 'd'), "", nullptr, std::string(258, 'd') + "\\", 1},
    };
    for (const Row& row : rows) {
        char destination[kPathSize + 8];
        std::memset(destination, '#', sizeof destination);
        EXPECT_EQ(row.whole, ComposePath(destination, row.directory.c_str(), row.name, row.suffix))
            << row.expected;
        EXPECT_EQ(row.expected, destination);
        EXPECT_EQ('#', destination[kPathSize]);
    }
}

}  // namespace
