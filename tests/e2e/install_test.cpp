// The installation seen from outside: the user confirms the settings dialog,
// the copy dialog copies the three sections one file per step, warns about
// [Install] files it cannot copy, writes the chosen shortcuts and reports
// completion; or the user cancels between steps. What lands on disk is
// checked file by file, and each shortcut is loaded through the shell.
#include <cstdlib>
#include <string>
#include <vector>

#include "scenario.h"

namespace {

using namespace scenario;

class Install : public Scenario {};

TEST_F(Install, CopiesAllThreeSectionsWarnsAndWritesTheChosenShortcuts)
{
    std::string installDir = "C:\\pelmora-e2e-full\\App";
    std::string group = programs_ + "\\Games";
    Clean({"C:\\pelmora-e2e-full", group, startUp_ + "\\Agent.lnk",
           windows_ + "\\pelmora-e2e-old.ini", windows_ + "\\pelmora-e2e-new.ini",
           system_ + "\\pelmora-e2e-old.dll", system_ + "\\pelmora-e2e-new.dll"});
    std::string medium = Medium(
        "install-full",
        "[init]\r\nTitle=E2E 全部\r\nStartMenuGroup=Games\\Tools\r\n"
        "[Install]\r\napp.exe\r\nreadme.txt\r\nmissing.txt\r\ndata\\table.dat\r\n"
        "[InstallWindows]\r\npelmora-e2e-old.ini\r\npelmora-e2e-new.ini\r\n"
        "[InstallSystem]\r\npelmora-e2e-old.dll\r\npelmora-e2e-new.dll\r\n"
        "[StarMenuSet]\r\nReadme | readme.txt\r\nno bar here\r\nTool|app.exe\r\n"
        "[StartUpSet]\r\nAgent|\tapp.exe\r\n",
        {{"app.exe", "new app"}, {"readme.txt", "new readme"},
         {"pelmora-e2e-old.ini", "medium ini"}, {"pelmora-e2e-new.ini", "new ini"},
         {"pelmora-e2e-old.dll", "medium dll"}, {"pelmora-e2e-new.dll", "new dll"}});
    ASSERT_TRUE(CreateDirectoryA((medium + "\\data").c_str(), nullptr));
    WriteFile(medium + "\\data\\table.dat", "table");
    // An older copy in the install folder; files the system already has.
    ASSERT_TRUE(CreateDirectoryA("C:\\pelmora-e2e-full", nullptr));
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    WriteFile(installDir + "\\readme.txt", "old readme, longer than the new one");
    WriteFile(windows_ + "\\pelmora-e2e-old.ini", std::string("kept\0ini\r\n", 10));
    WriteFile(system_ + "\\pelmora-e2e-old.dll", std::string("kept\0dll\xFF", 9));

    HWND copy = StartInstall(medium, "E2E 全部", installDir, true, true);
    ASSERT_NE(copy, nullptr);
    HWND completion = nullptr;
    std::vector<std::string> expected = {
        kCannotCopy + medium + "\\missing.txt -> " + installDir + "\\missing.txt",
        kCannotCopy + medium + "\\data\\table.dat -> " + installDir + "\\data\\table.dat",
    };
    EXPECT_EQ(expected, RunToCompletion(&completion));
    ASSERT_NE(completion, nullptr);

    // The completion state, while its box is up.
    EXPECT_EQ(driver::kProgramCaption, driver::WindowText(copy));
    EXPECT_TRUE(driver::IsControlVisible(copy, IDC_DONE_MARK));
    EXPECT_EQ("完了", driver::ControlText(copy, IDC_DONE_MARK));
    EXPECT_EQ(kFinishButton, driver::ControlText(copy, IDC_CANCEL_BUTTON));
    for (int id : {IDC_SOURCE_LABEL, IDC_DESTINATION_LABEL, IDC_SOURCE_PATH, IDC_DESTINATION_PATH})
        EXPECT_FALSE(driver::IsControlVisible(copy, id)) << id;
    ASSERT_TRUE(driver::PressMessageBoxOk(completion)) << driver::LastError();
    ExpectExitZero();

    EXPECT_EQ("new app", Contents(installDir + "\\app.exe"));
    EXPECT_EQ("new readme", Contents(installDir + "\\readme.txt"));
    EXPECT_FALSE(driver::FileExists(installDir + "\\missing.txt"));
    EXPECT_FALSE(driver::DirectoryExists(installDir + "\\data"));
    EXPECT_EQ(std::string("kept\0ini\r\n", 10), Contents(windows_ + "\\pelmora-e2e-old.ini"));
    EXPECT_EQ("new ini", Contents(windows_ + "\\pelmora-e2e-new.ini"));
    EXPECT_EQ(std::string("kept\0dll\xFF", 9), Contents(system_ + "\\pelmora-e2e-old.dll"));
    EXPECT_EQ("new dll", Contents(system_ + "\\pelmora-e2e-new.dll"));

    struct Link {
        std::string path, target, description;
    } links[] = {
        {group + "\\Tools\\Readme .lnk", installDir + "\\readme.txt", "readme.txt"},
        {group + "\\Tools\\Tool.lnk", installDir + "\\app.exe", "app.exe"},
        {startUp_ + "\\Agent.lnk", installDir + "\\app.exe", "app.exe"},
    };
    for (const Link& link : links) {
        SCOPED_TRACE(driver::ToUtf8(link.path));
        LinkFields fields = ReadLink(link.path);
        EXPECT_EQ(S_OK, fields.loaded);
        EXPECT_EQ(link.target, fields.target);
        EXPECT_EQ(installDir, fields.workingDirectory);
        EXPECT_EQ(link.description, fields.description);
    }
    std::vector<std::string> tools = {"Readme .lnk", "Tool.lnk"};
    EXPECT_EQ(tools, Listing(group + "\\Tools"));
}

TEST_F(Install, CancelBetweenStepsKeepsTheCopiesAndWritesNoShortcut)
{
    const int kFiles = 150;
    std::string installDir = "C:\\pelmora-e2e-cancel\\deep\\App";
    Clean({"C:\\pelmora-e2e-cancel", programs_ + "\\PelmoraCancel", startUp_ + "\\Cancelled.lnk"});
    std::string script = "[init]\r\nTitle=E2E 中止\r\nStartMenuGroup=PelmoraCancel\r\n[Install]\r\n";
    std::vector<std::string> names;
    Files files;
    for (int i = 1; i <= kFiles; ++i) {
        char name[16];
        snprintf(name, sizeof name, "f%03d.dat", i);
        names.push_back(name);
        script += std::string(name) + "\r\n";
        files.push_back({name, std::string("contents of ") + name});
    }
    script += "[StarMenuSet]\r\nMenu|f001.dat\r\n[StartUpSet]\r\nCancelled|f001.dat\r\n";
    HWND copy = StartInstall(Medium("install-cancel", script, files), "E2E 中止", installDir, true, true);
    ASSERT_NE(copy, nullptr);
    // Cancel once a few files are through (the field shows each file for
    // about 10 ms only, so any number from 5 on will do).
    auto shownNumber = [&]() {
        std::string seen = driver::ControlText(copy, IDC_SOURCE_PATH);
        size_t at = seen.rfind("\\f");
        return at == std::string::npos ? 0 : std::atoi(seen.c_str() + at + 2);
    };
    DWORD start = GetTickCount();
    while (shownNumber() < 5) {
        ASSERT_LT(GetTickCount() - start, 20000u)
            << "source field: " << driver::ToUtf8(driver::ControlText(copy, IDC_SOURCE_PATH));
        Sleep(5);
    }
    PressAndExpectExitZero(copy);
    EXPECT_EQ(nullptr, driver::FindMessageBox(setup_.pid));

    // The files copied so far are the first ones of the list, whole.
    std::vector<std::string> copied = Listing(installDir);
    ASSERT_GE(copied.size(), 5u);
    EXPECT_LT(copied.size(), size_t(kFiles));
    for (size_t i = 0; i < copied.size(); ++i) {
        EXPECT_EQ(names[i], copied[i]);
        EXPECT_EQ("contents of " + names[i], Contents(installDir + "\\" + copied[i]));
    }
    EXPECT_FALSE(driver::DirectoryExists(programs_ + "\\PelmoraCancel"));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\Cancelled.lnk"));
}

TEST_F(Install, TouchesNoShortcutFolderWithNeitherBoxTicked)
{
    std::string installDir = "C:\\pelmora-e2e-nolinks";
    Clean({installDir, programs_ + "\\PelmoraNone"});
    std::string medium = Medium("install-no-links",
                                "[init]\r\nTitle=E2E なし\r\nStartMenuGroup=PelmoraNone\r\n"
                                "[Install]\r\na.txt\r\n[StarMenuSet]\r\nMenu|a.txt\r\n"
                                "[StartUpSet]\r\nUp|a.txt\r\n",
                                {{"a.txt", "a"}});
    std::vector<std::string> programsBefore = Listing(programs_);
    std::vector<std::string> startUpBefore = Listing(startUp_);

    HWND settings = Open(medium, "E2E なし");
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(BST_UNCHECKED, driver::CheckState(settings, IDC_START_MENU_BOX));
    ASSERT_EQ(BST_UNCHECKED, driver::CheckState(settings, IDC_START_UP_BOX));
    ASSERT_NE(Confirm(settings, installDir), nullptr);
    EXPECT_TRUE(RunToCompletion().empty());
    ExpectExitZero();

    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_EQ(programsBefore, Listing(programs_));
    EXPECT_EQ(startUpBefore, Listing(startUp_));
}

TEST_F(Install, CopiesFromADriveRoot)
{
    // C:\ of the test prefix serves as the root of a medium: every source
    // path then holds a doubled separator.
    std::string installDir = "C:\\pelmora-e2e-root";
    Clean({installDir, "C:\\setup.ini", "C:\\pelmora-root-a.txt"});
    WriteFile("C:\\setup.ini",
              "[init]\r\nTitle=E2E ルート\r\n[Install]\r\npelmora-root-a.txt\r\n"
              "pelmora-root-missing.txt\r\n");
    WriteFile("C:\\pelmora-root-a.txt", "from the root");

    ASSERT_NE(StartInstall("C:\\", "E2E ルート", installDir), nullptr);
    std::vector<std::string> expected = {std::string(kCannotCopy) +
                                         "C:\\\\pelmora-root-missing.txt -> " + installDir +
                                         "\\pelmora-root-missing.txt"};
    EXPECT_EQ(expected, RunToCompletion());
    ExpectExitZero();
    EXPECT_EQ("from the root", Contents(installDir + "\\pelmora-root-a.txt"));
}

TEST(CopyDialogTemplate, MatchesItsTable)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(IDD_COPY, &dialog));
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT),
              dialog.style);
    EXPECT_EQ(210, dialog.cx);
    EXPECT_EQ(61, dialog.cy);
    EXPECT_EQ(kCopyCaption, dialog.caption);
    EXPECT_EQ(9, dialog.pointSize);
    EXPECT_EQ("ＭＳ Ｐゴシック", dialog.face);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD field = child | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
    ExpectItems({{2, "BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 73, 40, 64, 14, "中止(&S)"},
                 {1018, "STATIC", child | WS_GROUP | SS_RIGHT, 10, 11, 30, 8, "コピー元："},
                 {1019, "STATIC", child | WS_GROUP | SS_RIGHT, 10, 27, 30, 8, "コピー先："},
                 {1003, "EDIT", field, 44, 7, 159, 14, ""},
                 {1012, "EDIT", field, 44, 23, 159, 14, ""},
                 {1020, "STATIC", WS_CHILD | WS_GROUP | SS_CENTER, 7, 15, 196, 15, "完了"}},
                dialog.items);
}

}  // namespace
