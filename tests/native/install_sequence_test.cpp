// The install sequence driven by a recording fake of the platform: the fake
// plays the dialog's message loop (one-shot timer, posted steps) and writes
// every operation into a log, which the tests compare with what the user and
// the file system would see.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "shell/state.h"

namespace {

struct Fake {
    std::vector<std::string> log;
    int timer = -1;                          // armed delay, -1 when not armed
    std::vector<std::pair<int, int>> posted;  // step messages in the queue
    std::set<std::string> failingCopies;      // sources whose copy fails
    std::set<std::string> failingFolders;     // paths MakeFolderPath refuses
    const char* programs = "C:\\Menu\\Programs";
    const char* startUp = "C:\\Menu\\StartUp";
    int programsFound = 1;
    int startUpFound = 1;
    std::function<void(const char*)> onBox;   // what the user does in a box
    bool ended = false;
};

Fake* fake;

void ArmStepTimer(int milliseconds)
{
    fake->timer = milliseconds;
    fake->log.push_back("timer " + std::to_string(milliseconds));
}
void StopStepTimer()
{
    fake->timer = -1;
}
void PostStep(int section, int entry)
{
    fake->posted.push_back({section, entry});
}
void PostClose()
{
    fake->log.push_back("close");
}
void SetField(int id, const char* text)
{
    fake->log.push_back("field " + std::to_string(id) + " " + text);
}
int CopyOneFile(const char* source, const char* destination, int failIfExists)
{
    fake->log.push_back(std::string("copy ") + source + " > " + destination + " " +
                        std::to_string(failIfExists));
    return fake->failingCopies.count(source) == 0;
}
void ShowBox(int owner, const char* text, int icon)
{
    fake->log.push_back("box " + std::to_string(owner) + " " + std::to_string(icon) + " " + text);
    if (fake->onBox)
        fake->onBox(text);
}
void ShowControl(int id, int show)
{
    fake->log.push_back((show ? "show " : "hide ") + std::to_string(id));
}
void SetCaption(const char* text)
{
    fake->log.push_back(std::string("caption ") + text);
}
int FindShellFolder(int folder, char* path)
{
    fake->log.push_back("folder " + std::to_string(folder));
    const char* found = folder == kProgramsFolder ? fake->programs : fake->startUp;
    std::strcpy(path, found);
    return folder == kProgramsFolder ? fake->programsFound : fake->startUpFound;
}
int MakeFolderPath(const char* path)
{
    fake->log.push_back(std::string("mkdir ") + path);
    return fake->failingFolders.count(path) == 0;
}
long WriteShortcut(const char* target, const char* link, const char* workingDirectory,
                   const char* description)
{
    fake->log.push_back(std::string("link ") + link + " = " + target + " in " +
                        workingDirectory + " : " + description);
    return 0;
}
void EndCopyDialog()
{
    fake->ended = true;
    fake->log.push_back("end");
}

const InstallPlatform kFakePlatform = {
    ArmStepTimer, StopStepTimer, PostStep, PostClose, SetField, CopyOneFile, ShowBox,
    ShowControl, SetCaption, FindShellFolder, MakeFolderPath, WriteShortcut, EndCopyDialog,
};

// Sets the process state as start-up and the settings dialog leave it.
void SetUpState(const std::string& script, int startMenu = 0, int startUp = 0)
{
    std::free(ScriptText);
    ScriptText = static_cast<char*>(std::malloc(script.size() + 1));
    std::memcpy(ScriptText, script.c_str(), script.size() + 1);
    std::strcpy(SourceDir, "D:\\medium");
    std::strcpy(WindowsDir, "C:\\WINDOWS");
    std::strcpy(SystemDir, "C:\\WINDOWS\\SYSTEM");
    std::strcpy(InstallDir, "C:\\Pelmora");
    ShellFolderDir[0] = '\0';
    RegisterStartMenu = startMenu;
    RegisterStartUp = startUp;
}

// The backdrop's close handling, as seen from the install: the script is gone.
void FreeScript()
{
    std::free(ScriptText);
    ScriptText = nullptr;
}

// Runs the dialog's loop until nothing is pending or the dialog has ended.
// Returns the number of steps run.
int RunDialog()
{
    StartInstall(kFakePlatform);
    int steps = 0;
    while (!fake->ended && (fake->timer >= 0 || !fake->posted.empty())) {
        if (fake->posted.empty()) {
            TickInstall(kFakePlatform);
            continue;
        }
        auto step = fake->posted.front();
        fake->posted.erase(fake->posted.begin());
        RunInstallStep(kFakePlatform, step.first, step.second);
        ++steps;
    }
    return steps;
}

std::vector<std::string> Matching(const std::string& prefix)
{
    std::vector<std::string> lines;
    for (const auto& line : fake->log)
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    return lines;
}

class InstallSequence : public testing::Test {
protected:
    void SetUp() override { fake = &fakeState; }
    // A fresh fake, for the next row of a table.
    void Fresh(const std::string& script, int startMenu = 0, int startUp = 0)
    {
        fakeState = Fake();
        SetUpState(script, startMenu, startUp);
    }
    void TearDown() override
    {
        FreeScript();
        fake = nullptr;
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
        Fresh(Lines("Install", row.install, "a") + Lines("InstallWindows", row.windows, "w") +
                       Lines("InstallSystem", row.system, "s"));
        int steps = RunDialog();
        EXPECT_EQ(row.install + row.windows + row.system + 3, steps)
            << row.install << " " << row.windows << " " << row.system;
        EXPECT_EQ(size_t(row.install + row.windows + row.system), Matching("copy ").size());
        // The folder is made once, at the first step, even with nothing to copy.
        EXPECT_EQ(std::vector<std::string>{"mkdir C:\\Pelmora"}, Matching("mkdir "));
        EXPECT_EQ(std::vector<std::string>{"close"}, Matching("close"));
    }
}

TEST_F(InstallSequence, CopiesWithTheOverwritePolicyOfEachSection)
{
    SetUpState("[Install]\r\n app.exe\r\n[InstallWindows]\r\nwin.ini\r\n"
               "[InstallSystem]\r\nsys.dll \r\n");
    RunDialog();
    std::vector<std::string> expected = {
        "copy D:\\medium\\app.exe > C:\\Pelmora\\app.exe 0",
        "copy D:\\medium\\win.ini > C:\\WINDOWS\\win.ini 1",
        // Trailing blanks of the entry stay, on both sides.
        "copy D:\\medium\\sys.dll  > C:\\WINDOWS\\SYSTEM\\sys.dll  1",
    };
    EXPECT_EQ(expected, Matching("copy "));
}

TEST_F(InstallSequence, ShowsBothPathsBeforeEachCopy)
{
    SetUpState("[Install]\r\nsub\\a.dat\r\n");
    RunDialog();
    std::vector<std::string> expected = {
        "timer 50",
        "mkdir C:\\Pelmora",
        "field 1003 D:\\medium\\sub\\a.dat",
        "field 1012 C:\\Pelmora\\sub\\a.dat",
        "copy D:\\medium\\sub\\a.dat > C:\\Pelmora\\sub\\a.dat 0",
        "timer 10",
    };
    EXPECT_EQ(expected, std::vector<std::string>(fake->log.begin(), fake->log.begin() + 6));
}

TEST_F(InstallSequence, AlwaysInsertsTheSeparator)
{
    struct Row {
        const char* sourceDir;
        const char* installDir;
        const char* expected;
    } rows[] = {
        {"D:\\", "C:\\Pelmora", "copy D:\\\\a.txt > C:\\Pelmora\\a.txt 0"},
        {"D:\\medium", "C:", "copy D:\\medium\\a.txt > C:\\a.txt 0"},
        {"D:\\medium", "", "copy D:\\medium\\a.txt > \\a.txt 0"},
        {"", "C:\\x", "copy \\a.txt > C:\\x\\a.txt 0"},
    };
    for (const Row& row : rows) {
        Fresh("[Install]\r\na.txt\r\n");
        std::strcpy(SourceDir, row.sourceDir);
        std::strcpy(InstallDir, row.installDir);
        RunDialog();
        EXPECT_EQ(std::vector<std::string>{row.expected}, Matching("copy ")) << row.sourceDir;
    }
}

TEST_F(InstallSequence, WarnsOnlyAboutFailedCopiesOfInstall)
{
    SetUpState("[Install]\r\nmissing.txt\r\nok.txt\r\n[InstallWindows]\r\nmissing.txt\r\n"
               "[InstallSystem]\r\nmissing.txt\r\n");
    fake->failingCopies.insert("D:\\medium\\missing.txt");
    RunDialog();
    std::vector<std::string> expected = {
        "box 0 48 コピーできませんでした：D:\\medium\\missing.txt -> C:\\Pelmora\\missing.txt",
        "box 1 64 インストールが完了しました",
    };
    EXPECT_EQ(expected, Matching("box "));
    // The install goes on after the warning.
    EXPECT_EQ(4u, Matching("copy ").size());
}

TEST_F(InstallSequence, CutsTheWarningAtTheBound)
{
    std::string entry(200, 'n');
    SetUpState("[Install]\r\n" + entry + "\r\n");
    std::strcpy(SourceDir, "D:\\m");
    std::strcpy(InstallDir, "C:\\p");
    fake->failingCopies.insert("D:\\m\\" + entry);
    RunDialog();
    auto boxes = Matching("box 0 48 ");
    ASSERT_EQ(1u, boxes.size());
    std::string text = boxes[0].substr(9);
    EXPECT_EQ(size_t(kPathBound), text.size());
    EXPECT_EQ("コピーできませんでした：D:\\m\\" + entry + " -> C:\\p\\",
              text.substr(0, 24 + 5 + 200 + 4 + 5));
}

TEST_F(InstallSequence, DoesNotCopyUnderAPathCutAtTheBound)
{
    // Cut, the destination would name another file; that file must stay.
    std::string directory = "C:\\" + std::string(250, 'd');
    struct Row {
        const char* entry;
        size_t copies;
    } rows[] = {{"12345", 1}, {"123456", 0}, {"1234567.txt", 0}};
    for (const Row& row : rows) {
        Fresh(std::string("[Install]\r\n") + row.entry + "\r\n");
        std::strcpy(InstallDir, directory.c_str());  // 253 characters
        std::strcpy(SourceDir, "D:");
        RunDialog();
        EXPECT_EQ(row.copies, Matching("copy ").size()) << row.entry;
        EXPECT_EQ(1 - row.copies, Matching("box 0 48 ").size()) << row.entry;
    }
}

TEST_F(InstallSequence, FinishesInOrder)
{
    SetUpState("[init]\r\nStartMenuGroup=Games\\Tools\r\n[StarMenuSet]\r\nGame|game.exe\r\n"
               "[StartUpSet]\r\nAgent|agent.exe\r\n",
               1, 1);
    RunDialog();
    std::vector<std::string> expected = {
        "hide 1018",
        "hide 1019",
        "hide 1003",
        "hide 1012",
        "folder 2",
        "mkdir C:\\Menu\\Programs\\Games\\Tools",
        "link C:\\Menu\\Programs\\Games\\Tools\\Game.lnk = C:\\Pelmora\\game.exe in C:\\Pelmora : "
        "game.exe",
        "folder 7",
        "link C:\\Menu\\StartUp\\Agent.lnk = C:\\Pelmora\\agent.exe in C:\\Pelmora : agent.exe",
        "show 1020",
        "caption ぺるもらセットアップ プログラム",
        "field 2 終了(&E)",
        "box 1 64 インストールが完了しました",
        "close",
    };
    auto hide = std::find(fake->log.begin(), fake->log.end(), "hide 1018");
    ASSERT_NE(fake->log.end(), hide);
    EXPECT_EQ(expected, std::vector<std::string>(hide, fake->log.end()));
    EXPECT_FALSE(fake->ended);  // the backdrop's close ends it, not the install
}

TEST_F(InstallSequence, NamesTheGroupFromTheScriptOrPelmora)
{
    struct Row {
        const char* init;
        const char* folder;
    } rows[] = {
        {"", "C:\\Menu\\Programs\\Pelmora"},
        {"[init]\r\nStartMenuGroup=\r\n", "C:\\Menu\\Programs\\Pelmora"},
        {"[init]\r\nStartMenuGroup=Games\\Tools\r\n", "C:\\Menu\\Programs\\Games\\Tools"},
        {"[init]\r\nstartmenugroup= My Game \r\n", "C:\\Menu\\Programs\\ My Game "},
        {"[init]\r\nStartMenuGroup=ソフト\r\n", "C:\\Menu\\Programs\\ソフト"},
    };
    for (const Row& row : rows) {
        Fresh(std::string(row.init) + "[StarMenuSet]\r\nA|a.exe\r\n", 1, 0);
        RunDialog();
        std::vector<std::string> made = {"mkdir C:\\Pelmora", std::string("mkdir ") + row.folder};
        EXPECT_EQ(made, Matching("mkdir ")) << row.init;
        auto links = Matching("link ");
        ASSERT_EQ(1u, links.size()) << row.init;
        EXPECT_EQ(std::string("link ") + row.folder + "\\A.lnk", links[0].substr(0, links[0].find(" =")));
    }
}

TEST_F(InstallSequence, SplitsShortcutLines)
{
    struct Row {
        const char* line;
        const char* expected;  // nullptr: skipped
    } rows[] = {
        {"Readme | readme.txt",
         "link C:\\Menu\\StartUp\\Readme .lnk = C:\\Pelmora\\readme.txt in C:\\Pelmora : readme.txt"},
        {"Tool|bin\\tool.exe",
         "link C:\\Menu\\StartUp\\Tool.lnk = C:\\Pelmora\\bin\\tool.exe in C:\\Pelmora : bin\\tool.exe"},
        {"  Lead|\t x.exe ",
         "link C:\\Menu\\StartUp\\Lead.lnk = C:\\Pelmora\\x.exe  in C:\\Pelmora : x.exe "},
        {"Two|a|b", "link C:\\Menu\\StartUp\\Two.lnk = C:\\Pelmora\\a|b in C:\\Pelmora : a|b"},
        {"Empty|", "link C:\\Menu\\StartUp\\Empty.lnk = C:\\Pelmora\\ in C:\\Pelmora : "},
        {"|x.exe", "link C:\\Menu\\StartUp\\.lnk = C:\\Pelmora\\x.exe in C:\\Pelmora : x.exe"},
        {"NoBar x.exe", nullptr},
    };
    for (const Row& row : rows) {
        Fresh(std::string("[StartUpSet]\r\n") + row.line + "\r\nAfter|after.exe\r\n", 0, 1);
        RunDialog();
        auto links = Matching("link ");
        // The line after is written whether or not this one was skipped.
        std::vector<std::string> expected;
        if (row.expected != nullptr)
            expected.push_back(row.expected);
        expected.push_back(
            "link C:\\Menu\\StartUp\\After.lnk = C:\\Pelmora\\after.exe in C:\\Pelmora : after.exe");
        EXPECT_EQ(expected, links) << row.line;
        EXPECT_TRUE(Matching("box 1 48").empty());
    }
}

TEST_F(InstallSequence, WritesShortcutsWithAnEmptyInstallDir)
{
    SetUpState("[StartUpSet]\r\nA|a.exe\r\n", 0, 1);
    InstallDir[0] = '\0';
    RunDialog();
    EXPECT_EQ(std::vector<std::string>{"link C:\\Menu\\StartUp\\A.lnk = \\a.exe in  : a.exe"},
              Matching("link "));
}

TEST_F(InstallSequence, LooksUpNoShellFolderWithoutTheFlags)
{
    SetUpState("[Install]\r\na\r\n[StarMenuSet]\r\nA|a\r\n[StartUpSet]\r\nB|b\r\n");
    RunDialog();
    EXPECT_TRUE(Matching("folder ").empty());
    EXPECT_TRUE(Matching("link ").empty());
}

TEST_F(InstallSequence, MakesAnEmptyGroup)
{
    SetUpState("[StarMenuSet]\r\n", 1, 0);
    RunDialog();
    EXPECT_EQ(2u, Matching("mkdir ").size());
    EXPECT_EQ("mkdir C:\\Menu\\Programs\\Pelmora", Matching("mkdir ").back());
    EXPECT_TRUE(Matching("link ").empty());
}

TEST_F(InstallSequence, GroupFailureSkipsOnlyTheStartMenu)
{
    SetUpState("[StarMenuSet]\r\nA|a.exe\r\n[StartUpSet]\r\nB|b.exe\r\n", 1, 1);
    fake->failingFolders.insert("C:\\Menu\\Programs\\Pelmora");
    RunDialog();
    std::vector<std::string> boxes = {
        "box 1 48 スタートメニューのグループの登録に失敗しました",
        "box 1 64 インストールが完了しました",
    };
    EXPECT_EQ(boxes, Matching("box "));
    EXPECT_EQ(std::vector<std::string>{
                  "link C:\\Menu\\StartUp\\B.lnk = C:\\Pelmora\\b.exe in C:\\Pelmora : b.exe"},
              Matching("link "));
}

TEST_F(InstallSequence, WritesNothingWhereThePlatformHasNoShellFolder)
{
    struct Row {
        int programsFound;
        const char* programs;
        int startUpFound;
        const char* startUp;
        size_t menuLinks, startUpLinks;
    } rows[] = {
        {0, "C:\\Stale", 1, "C:\\Menu\\StartUp", 0, 1},
        {1, "", 1, "C:\\Menu\\StartUp", 0, 1},
        {1, "C:\\Menu\\Programs", 0, "C:\\Stale", 1, 0},
        {1, "C:\\Menu\\Programs", 1, "", 1, 0},
        {0, "", 0, "", 0, 0},
    };
    for (const Row& row : rows) {
        Fresh("[StarMenuSet]\r\nA|a.exe\r\n[StartUpSet]\r\nB|b.exe\r\n", 1, 1);
        fake->programsFound = row.programsFound;
        fake->programs = row.programs;
        fake->startUpFound = row.startUpFound;
        fake->startUp = row.startUp;
        std::strcpy(ShellFolderDir, "C:\\Left\\Over");
        RunDialog();
        auto links = Matching("link ");
        size_t menu = 0, startUp = 0;
        for (const auto& link : links) {
            menu += link.rfind("link C:\\Menu\\Programs\\Pelmora\\A.lnk", 0) == 0;
            startUp += link.rfind("link C:\\Menu\\StartUp\\B.lnk", 0) == 0;
        }
        EXPECT_EQ(row.menuLinks + row.startUpLinks, links.size()) << row.programs << row.startUp;
        EXPECT_EQ(row.menuLinks, menu);
        EXPECT_EQ(row.startUpLinks, startUp);
        // No folder but the install folder and the real group is ever made.
        for (const auto& made : Matching("mkdir "))
            EXPECT_TRUE(made == "mkdir C:\\Pelmora" || made == "mkdir C:\\Menu\\Programs\\Pelmora")
                << made;
        // The user hears of a Start Menu that cannot be had; the completion follows.
        EXPECT_EQ(row.menuLinks == 0 ? 1u : 0u,
                  Matching("box 1 48 スタートメニューのグループの登録に失敗しました").size());
        EXPECT_EQ(1u, Matching("box 1 64 インストールが完了しました").size());
        EXPECT_EQ(1u, Matching("close").size());
    }
}

TEST_F(InstallSequence, SkipsShortcutsWhosePathsWouldBeCut)
{
    std::string name(240, 'n');
    SetUpState("[StartUpSet]\r\n" + name + "|a.exe\r\nOk|" + name + "\r\nLast|b.exe\r\n", 0, 1);
    // 16 + 1 + 240 + 4 = 261 for the first link; 10 + 1 + 240 fits for the second target.
    RunDialog();
    auto links = Matching("link ");
    ASSERT_EQ(2u, links.size());
    EXPECT_EQ(0u, links[0].rfind("link C:\\Menu\\StartUp\\Ok.lnk = C:\\Pelmora\\" + name, 0));
    EXPECT_EQ(0u, links[1].rfind("link C:\\Menu\\StartUp\\Last.lnk", 0));
}

TEST_F(InstallSequence, CancelEndsTheDialogBetweenSteps)
{
    SetUpState("[Install]\r\na\r\nb\r\nc\r\n[StartUpSet]\r\nB|b\r\n", 0, 1);
    StartInstall(kFakePlatform);
    TickInstall(kFakePlatform);
    RunInstallStep(kFakePlatform, 0, 1);
    CancelInstall(kFakePlatform);
    std::vector<std::string> tail = {"close", "end"};
    EXPECT_EQ(tail, std::vector<std::string>(fake->log.end() - 2, fake->log.end()));
    EXPECT_EQ(1u, Matching("copy ").size());
    EXPECT_TRUE(Matching("link ").empty());
    EXPECT_TRUE(Matching("box ").empty());
}

// The boxes of the finish sequence are owned by the backdrop, so the copy
// dialog's button still works inside them; the backdrop then frees the script.
void CancelAndFree(const char*)
{
    CancelInstall(kFakePlatform);
    FreeScript();
}

TEST_F(InstallSequence, CancelInsideTheGroupFailureBoxStopsTheFinish)
{
    SetUpState("[StarMenuSet]\r\nA|a\r\n[StartUpSet]\r\nB|b\r\n", 1, 1);
    fake->failingFolders.insert("C:\\Menu\\Programs\\Pelmora");
    fake->onBox = CancelAndFree;
    RunDialog();
    EXPECT_TRUE(Matching("link ").empty());
    EXPECT_EQ(1u, Matching("box ").size());
    EXPECT_EQ(1u, Matching("close").size());
    EXPECT_TRUE(Matching("show 1020").empty());
    EXPECT_TRUE(Matching("folder 7").empty());
}

TEST_F(InstallSequence, CancelInsideTheCompletionBoxClosesOnce)
{
    SetUpState("[StartUpSet]\r\nB|b\r\n", 0, 1);
    fake->onBox = CancelAndFree;
    RunDialog();
    std::vector<std::string> tail = {"box 1 64 インストールが完了しました", "close", "end"};
    EXPECT_EQ(tail, std::vector<std::string>(fake->log.end() - 3, fake->log.end()));
}

TEST_F(InstallSequence, IgnoresStepsThatAreNotItsOwn)
{
    SetUpState("[Install]\r\na\r\n");
    StartInstall(kFakePlatform);
    fake->log.clear();
    RunInstallStep(kFakePlatform, 3, 1);
    RunInstallStep(kFakePlatform, -1, 1);
    RunInstallStep(kFakePlatform, 0, 0);
    // A step still queued when the backdrop has freed the script.
    FreeScript();
    RunInstallStep(kFakePlatform, 0, 1);
    EXPECT_TRUE(fake->log.empty());
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
        {"C:\\Pelmora", "a.txt", nullptr, "C:\\Pelmora\\a.txt", 1},
        {"D:\\", "a.txt", nullptr, "D:\\\\a.txt", 1},
        {"C:", "a", nullptr, "C:\\a", 1},
        {"", "a", nullptr, "\\a", 1},
        {"C:\\x", "", nullptr, "C:\\x\\", 1},
        {"C:\\g", "Readme ", ".lnk", "C:\\g\\Readme .lnk", 1},
        {"C:\\ソ", "ソ", nullptr, "C:\\ソ\\ソ", 1},
        {dir252, "12", ".lnk", dir252 + "\\12.lnk", 1},     // 259: exactly at the bound
        {dir252, "123", ".lnk", dir252 + "\\123.ln", 0},    // one past it
        {dir252, "123456", nullptr, dir252 + "\\123456", 1},
        {dir252, "1234567", nullptr, dir252 + "\\123456", 0},
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

TEST(ComposePath, MayExtendItsOwnDirectory)
{
    char path[kPathSize] = "C:\\Programs";
    EXPECT_EQ(1, ComposePath(path, path, "Games\\Tools", nullptr));
    EXPECT_STREQ("C:\\Programs\\Games\\Tools", path);
}

TEST(SplitShortcutLine, SplitsAtTheFirstBar)
{
    struct Row {
        const char* line;
        int result;
        const char* name;
        const char* target;
    } rows[] = {
        {"Readme | readme.txt", 1, "Readme ", "readme.txt"},
        {"a|\t  b c |d", 1, "a", "b c |d"},
        {"|", 1, "", ""},
        {"no bar", 0, nullptr, nullptr},
        {"", 0, nullptr, nullptr},
        // 0x83 0x7C is no Shift-JIS character, but the byte 0x7C is "|" all the same.
        {"\x83|x", 1, "\x83", "x"},
    };
    for (const Row& row : rows) {
        std::string line = row.line;
        char* name = nullptr;
        char* target = nullptr;
        EXPECT_EQ(row.result, SplitShortcutLine(&line[0], &name, &target)) << row.line;
        if (row.result == 0) {
            EXPECT_EQ(nullptr, name);
            EXPECT_EQ(row.line, line);
            continue;
        }
        EXPECT_STREQ(row.name, name);
        EXPECT_STREQ(row.target, target);
    }
}

}  // namespace
