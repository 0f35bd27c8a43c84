// The installation seen from outside: the user confirms the settings dialog,
// the copy dialog copies the three sections one file per step, warns about
// [Install] files it cannot copy, writes the chosen shortcuts and reports
// completion; or the user cancels between steps. What lands on disk is
// checked file by file, and each shortcut is loaded through the shell.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"

namespace {

const char kCopyCaption[] = "インストール中...";
const char kDone[] = "完了";
const char kFinishButton[] = "終了(&E)";
const char kCompletion[] = "インストールが完了しました";
const char kCannotCopy[] = "コピーできませんでした：";
const int kExitWaitMs = 20000;

// Control ids of the settings dialog (102) and the copy dialog (104).
const int kInstallButton = 1;
const int kStopButton = 2;
const int kInstallDirEdit = 1003;
const int kStartMenuBox = 1011;
const int kStartUpBox = 1013;
const int kSourceField = 1003;
const int kDestinationField = 1012;
const int kSourceLabel = 1018;
const int kDestinationLabel = 1019;
const int kDoneMark = 1020;

struct LinkFields {
    bool loaded = false;
    std::string target;
    std::string workingDirectory;
    std::string description;
};

LinkFields LoadLink(const std::string& link)
{
    LinkFields fields;
    CoInitialize(nullptr);
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink))))
        return fields;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        fields.loaded = SUCCEEDED(file->Load(wide, STGM_READ));
        file->Release();
    }
    char text[MAX_PATH] = "";
    shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    fields.target = text;
    text[0] = '\0';
    shellLink->GetWorkingDirectory(text, MAX_PATH);
    fields.workingDirectory = text;
    text[0] = '\0';
    shellLink->GetDescription(text, MAX_PATH);
    fields.description = text;
    shellLink->Release();
    return fields;
}

std::string Contents(const std::string& path)
{
    std::string bytes;
    return driver::ReadFileBytes(path, &bytes) ? bytes : "<missing " + path + ">";
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    size_t slash = path.rfind('\\');
    ASSERT_TRUE(driver::WriteFileBytes(path.substr(0, slash), path.substr(slash + 1), bytes))
        << driver::LastError();
}

std::vector<std::string> Listing(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class Install : public testing::Test {
protected:
    void SetUp() override
    {
        DWORD start = GetTickCount();
        while (driver::FindWindowOf(0, driver::kBackdropClass, nullptr) != nullptr) {
            ASSERT_LT(GetTickCount() - start, 10000u) << "a backdrop of an earlier run is still up";
            Sleep(100);
        }
        programs_ = driver::ShellFolder(CSIDL_PROGRAMS);
        startUp_ = driver::ShellFolder(CSIDL_STARTUP);
        ASSERT_FALSE(programs_.empty());
        ASSERT_FALSE(startUp_.empty());
    }

    // Starts setup.exe in dir and waits for its settings dialog.
    HWND StartSettings(const std::string& dir, const char* title)
    {
        if (!driver::StartSetup(dir, &setup_)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        HWND settings = driver::WaitForDialog(setup_.pid, title);
        if (settings == nullptr)
            ADD_FAILURE() << driver::LastError();
        return settings;
    }

    // Ticks a box as a click would, and checks that it took.
    void Tick(HWND dialog, int id)
    {
        HWND box = driver::Control(dialog, id);
        ASSERT_NE(box, nullptr) << driver::LastError();
        DWORD_PTR ignored;
        SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        ASSERT_EQ(BST_CHECKED, driver::CheckState(dialog, id)) << "box " << id;
    }

    // Types the install folder, ticks the boxes asked for, presses
    // "インストール開始(&I)" and returns the copy dialog.
    HWND ConfirmSettings(HWND settings, const std::string& installDir, bool startMenu,
                         bool startUp)
    {
        if (!driver::SetControlText(settings, kInstallDirEdit, installDir)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        if (startMenu)
            Tick(settings, kStartMenuBox);
        if (startUp)
            Tick(settings, kStartUpBox);
        if (!driver::PressButton(settings, kInstallButton)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        HWND copy = driver::WaitForDialog(setup_.pid, kCopyCaption);
        if (copy == nullptr)
            ADD_FAILURE() << driver::LastError();
        return copy;
    }

    // Closes the warning boxes that come up, in order, until the completion
    // box; returns the warnings' texts, or stops at the first other box.
    std::vector<std::string> CollectWarnings(HWND* completion)
    {
        std::vector<std::string> warnings;
        for (;;) {
            HWND box = driver::WaitForMessageBox(setup_.pid);
            if (box == nullptr) {
                ADD_FAILURE() << driver::LastError();
                return warnings;
            }
            driver::MessageBoxText text = driver::ReadMessageBox(box);
            EXPECT_EQ(driver::kProgramCaption, text.caption);
            if (text.text == kCompletion) {
                *completion = box;
                return warnings;
            }
            warnings.push_back(text.text);
            EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
            EXPECT_TRUE(driver::WaitForWindowGone(box)) << driver::LastError();
        }
    }

    void ExpectExitZero()
    {
        DWORD code = 99;
        ASSERT_TRUE(driver::WaitForExit(&setup_, kExitWaitMs, &code)) << driver::LastError();
        EXPECT_EQ(0u, code);
    }

    driver::ScopedSetup setup_;
    std::string programs_;
    std::string startUp_;
};

TEST_F(Install, CopiesAllThreeSectionsWarnsAndWritesTheChosenShortcuts)
{
    std::string medium = driver::MakeMediumDir("install-full");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string windows = driver::WindowsDirectory();
    std::string system = driver::SystemDirectory();
    std::string installDir = "C:\\pelmora-e2e-full\\App";
    std::string group = programs_ + "\\Games";
    driver::RemoveTree("C:\\pelmora-e2e-full");
    driver::RemoveTree(group);
    DeleteFileA((startUp_ + "\\Agent.lnk").c_str());
    const char* fresh[] = {"\\pelmora-e2e-new.ini", "\\pelmora-e2e-new.dll"};
    DeleteFileA((windows + fresh[0]).c_str());
    DeleteFileA((system + fresh[1]).c_str());

    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E 全部\r\nStartMenuGroup=Games\\Tools\r\n"
              "[Install]\r\napp.exe\r\nreadme.txt\r\nmissing.txt\r\ndata\\table.dat\r\n"
              "[InstallWindows]\r\npelmora-e2e-old.ini\r\npelmora-e2e-new.ini\r\n"
              "[InstallSystem]\r\npelmora-e2e-old.dll\r\npelmora-e2e-new.dll\r\n"
              "[StarMenuSet]\r\nReadme | readme.txt\r\nno bar here\r\nTool|app.exe\r\n"
              "[StartUpSet]\r\nAgent|\tapp.exe\r\n");
    WriteFile(medium + "\\app.exe", "new app");
    WriteFile(medium + "\\readme.txt", "new readme");
    ASSERT_TRUE(CreateDirectoryA((medium + "\\data").c_str(), nullptr));
    WriteFile(medium + "\\data\\table.dat", "table");
    WriteFile(medium + "\\pelmora-e2e-old.ini", "medium ini");
    WriteFile(medium + "\\pelmora-e2e-new.ini", "new ini");
    WriteFile(medium + "\\pelmora-e2e-old.dll", "medium dll");
    WriteFile(medium + "\\pelmora-e2e-new.dll", "new dll");
    // An older copy in the install folder; files the system already has.
    ASSERT_TRUE(CreateDirectoryA("C:\\pelmora-e2e-full", nullptr));
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    WriteFile(installDir + "\\readme.txt", "old readme, longer than the new one");
    WriteFile(windows + "\\pelmora-e2e-old.ini", std::string("kept\0ini\r\n", 10));
    WriteFile(system + "\\pelmora-e2e-old.dll", std::string("kept\0dll\xFF", 9));

    HWND settings = StartSettings(medium, "E2E 全部");
    ASSERT_NE(settings, nullptr);
    HWND copy = ConfirmSettings(settings, installDir, true, true);
    ASSERT_NE(copy, nullptr);

    HWND completion = nullptr;
    std::vector<std::string> warnings = CollectWarnings(&completion);
    std::vector<std::string> expected = {
        kCannotCopy + medium + "\\missing.txt -> " + installDir + "\\missing.txt",
        kCannotCopy + medium + "\\data\\table.dat -> " + installDir + "\\data\\table.dat",
    };
    EXPECT_EQ(expected, warnings);
    ASSERT_NE(completion, nullptr);

    // The completion state, while its box is up.
    EXPECT_EQ(driver::kProgramCaption, driver::WindowText(copy));
    EXPECT_TRUE(driver::IsControlVisible(copy, kDoneMark));
    EXPECT_EQ(kDone, driver::ControlText(copy, kDoneMark));
    EXPECT_EQ(kFinishButton, driver::ControlText(copy, kStopButton));
    for (int id : {kSourceLabel, kDestinationLabel, kSourceField, kDestinationField})
        EXPECT_FALSE(driver::IsControlVisible(copy, id)) << id;
    ASSERT_TRUE(driver::PressMessageBoxOk(completion)) << driver::LastError();
    ExpectExitZero();

    EXPECT_EQ("new app", Contents(installDir + "\\app.exe"));
    EXPECT_EQ("new readme", Contents(installDir + "\\readme.txt"));
    EXPECT_FALSE(driver::FileExists(installDir + "\\missing.txt"));
    EXPECT_FALSE(driver::DirectoryExists(installDir + "\\data"));
    EXPECT_EQ(std::string("kept\0ini\r\n", 10), Contents(windows + "\\pelmora-e2e-old.ini"));
    EXPECT_EQ("new ini", Contents(windows + "\\pelmora-e2e-new.ini"));
    EXPECT_EQ(std::string("kept\0dll\xFF", 9), Contents(system + "\\pelmora-e2e-old.dll"));
    EXPECT_EQ("new dll", Contents(system + "\\pelmora-e2e-new.dll"));

    struct Link {
        std::string path, target, description;
    } links[] = {
        {group + "\\Tools\\Readme .lnk", installDir + "\\readme.txt", "readme.txt"},
        {group + "\\Tools\\Tool.lnk", installDir + "\\app.exe", "app.exe"},
        {startUp_ + "\\Agent.lnk", installDir + "\\app.exe", "app.exe"},
    };
    for (const Link& link : links) {
        LinkFields fields = LoadLink(link.path);
        EXPECT_TRUE(fields.loaded) << driver::ToUtf8(link.path);
        EXPECT_EQ(link.target, fields.target) << driver::ToUtf8(link.path);
        EXPECT_EQ(installDir, fields.workingDirectory) << driver::ToUtf8(link.path);
        EXPECT_EQ(link.description, fields.description) << driver::ToUtf8(link.path);
    }
    std::vector<std::string> tools = {".", "..", "Readme .lnk", "Tool.lnk"};
    EXPECT_EQ(tools, Listing(group + "\\Tools"));

    driver::RemoveTree("C:\\pelmora-e2e-full");
    driver::RemoveTree(group);
    DeleteFileA((startUp_ + "\\Agent.lnk").c_str());
    DeleteFileA((windows + "\\pelmora-e2e-old.ini").c_str());
    DeleteFileA((windows + fresh[0]).c_str());
    DeleteFileA((system + "\\pelmora-e2e-old.dll").c_str());
    DeleteFileA((system + fresh[1]).c_str());
}

TEST_F(Install, CancelBetweenStepsKeepsTheCopiesAndWritesNoShortcut)
{
    const int kFiles = 150;
    std::string medium = driver::MakeMediumDir("install-cancel");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string installDir = "C:\\pelmora-e2e-cancel\\deep\\App";
    driver::RemoveTree("C:\\pelmora-e2e-cancel");
    driver::RemoveTree(programs_ + "\\PelmoraCancel");
    DeleteFileA((startUp_ + "\\Cancelled.lnk").c_str());

    std::string script = "[init]\r\nTitle=E2E 中止\r\nStartMenuGroup=PelmoraCancel\r\n[Install]\r\n";
    std::vector<std::string> names;
    for (int i = 1; i <= kFiles; ++i) {
        char name[16];
        snprintf(name, sizeof name, "f%03d.dat", i);
        names.push_back(name);
        script += std::string(name) + "\r\n";
        WriteFile(medium + "\\" + name, std::string("contents of ") + name);
    }
    script += "[StarMenuSet]\r\nMenu|f001.dat\r\n[StartUpSet]\r\nCancelled|f001.dat\r\n";
    WriteFile(medium + "\\setup.ini", script);

    HWND settings = StartSettings(medium, "E2E 中止");
    ASSERT_NE(settings, nullptr);
    HWND copy = ConfirmSettings(settings, installDir, true, true);
    ASSERT_NE(copy, nullptr);
    // Cancel once a few files are through (the field shows each file for
    // about 10 ms only, so any number from 5 on will do).
    auto shownNumber = [&]() {
        std::string seen = driver::ControlText(copy, kSourceField);
        size_t at = seen.rfind("\\f");
        return at == std::string::npos ? 0 : std::atoi(seen.c_str() + at + 2);
    };
    DWORD start = GetTickCount();
    while (shownNumber() < 5) {
        ASSERT_LT(GetTickCount() - start, 20000u)
            << "source field: " << driver::ToUtf8(driver::ControlText(copy, kSourceField));
        Sleep(5);
    }
    ASSERT_TRUE(driver::PressButton(copy, kStopButton)) << driver::LastError();
    ExpectExitZero();
    EXPECT_EQ(nullptr, driver::FindMessageBox(setup_.pid));

    // The files copied so far are the first ones of the list, whole.
    std::vector<std::string> copied = Listing(installDir);
    ASSERT_GE(copied.size(), 2u + 5);
    EXPECT_LT(copied.size(), 2u + kFiles);
    for (size_t i = 2; i < copied.size(); ++i) {
        EXPECT_EQ(names[i - 2], copied[i]);
        EXPECT_EQ("contents of " + names[i - 2], Contents(installDir + "\\" + copied[i]));
    }
    EXPECT_FALSE(driver::DirectoryExists(programs_ + "\\PelmoraCancel"));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\Cancelled.lnk"));
    driver::RemoveTree("C:\\pelmora-e2e-cancel");
}

TEST_F(Install, TouchesNoShortcutFolderWithNeitherBoxTicked)
{
    std::string medium = driver::MakeMediumDir("install-no-links");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string installDir = "C:\\pelmora-e2e-nolinks";
    driver::RemoveTree(installDir);
    driver::RemoveTree(programs_ + "\\PelmoraNone");
    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E なし\r\nStartMenuGroup=PelmoraNone\r\n[Install]\r\na.txt\r\n"
              "[StarMenuSet]\r\nMenu|a.txt\r\n[StartUpSet]\r\nUp|a.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");
    std::vector<std::string> programsBefore = Listing(programs_);
    std::vector<std::string> startUpBefore = Listing(startUp_);

    HWND settings = StartSettings(medium, "E2E なし");
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(BST_UNCHECKED, driver::CheckState(settings, kStartMenuBox));
    ASSERT_EQ(BST_UNCHECKED, driver::CheckState(settings, kStartUpBox));
    ASSERT_NE(ConfirmSettings(settings, installDir, false, false), nullptr);
    HWND completion = nullptr;
    EXPECT_TRUE(CollectWarnings(&completion).empty());
    ASSERT_NE(completion, nullptr);
    ASSERT_TRUE(driver::PressMessageBoxOk(completion)) << driver::LastError();
    ExpectExitZero();

    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_EQ(programsBefore, Listing(programs_));
    EXPECT_EQ(startUpBefore, Listing(startUp_));
    driver::RemoveTree(installDir);
}

TEST_F(Install, CopiesFromADriveRoot)
{
    // C:\ of the test prefix serves as the root of a medium: every source
    // path then holds a doubled separator.
    std::string installDir = "C:\\pelmora-e2e-root";
    driver::RemoveTree(installDir);
    WriteFile("C:\\setup.ini",
              "[init]\r\nTitle=E2E ルート\r\n[Install]\r\npelmora-root-a.txt\r\n"
              "pelmora-root-missing.txt\r\n");
    WriteFile("C:\\pelmora-root-a.txt", "from the root");

    HWND settings = StartSettings("C:\\", "E2E ルート");
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(ConfirmSettings(settings, installDir, false, false), nullptr);
    HWND completion = nullptr;
    std::vector<std::string> warnings = CollectWarnings(&completion);
    std::vector<std::string> expected = {std::string(kCannotCopy) +
                                         "C:\\\\pelmora-root-missing.txt -> " + installDir +
                                         "\\pelmora-root-missing.txt"};
    EXPECT_EQ(expected, warnings);
    ASSERT_NE(completion, nullptr);
    ASSERT_TRUE(driver::PressMessageBoxOk(completion)) << driver::LastError();
    ExpectExitZero();
    EXPECT_EQ("from the root", Contents(installDir + "\\pelmora-root-a.txt"));

    DeleteFileA("C:\\setup.ini");
    DeleteFileA("C:\\pelmora-root-a.txt");
    driver::RemoveTree(installDir);
}

// The boxes of the finish sequence belong to the backdrop, so the copy
// dialog's button still answers while they are up; the backdrop then frees
// the script inside the box. The program must still end cleanly, with 0.
TEST_F(Install, FinishButtonInsideTheCompletionBoxEndsCleanly)
{
    std::string medium = driver::MakeMediumDir("install-finish-early");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string installDir = "C:\\pelmora-e2e-early";
    driver::RemoveTree(installDir);
    WriteFile(medium + "\\setup.ini", "[init]\r\nTitle=E2E 終了\r\n[Install]\r\na.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");

    HWND settings = StartSettings(medium, "E2E 終了");
    ASSERT_NE(settings, nullptr);
    HWND copy = ConfirmSettings(settings, installDir, false, false);
    ASSERT_NE(copy, nullptr);
    HWND completion = nullptr;
    EXPECT_TRUE(CollectWarnings(&completion).empty());
    ASSERT_NE(completion, nullptr);
    ASSERT_TRUE(driver::PressButton(copy, kStopButton)) << driver::LastError();
    ExpectExitZero();
    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    driver::RemoveTree(installDir);
}

TEST_F(Install, StopInsideTheGroupFailureBoxWritesNoFurtherShortcut)
{
    std::string medium = driver::MakeMediumDir("install-group-failure");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string installDir = "C:\\pelmora-e2e-group";
    std::string blocked = programs_ + "\\PelmoraBlocked";
    driver::RemoveTree(installDir);
    driver::RemoveTree(blocked);
    DeleteFileA((startUp_ + "\\Stray.lnk").c_str());
    // A file where the group folder should be: the group cannot be made.
    WriteFile(blocked, "not a folder");
    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E グループ\r\nStartMenuGroup=PelmoraBlocked\r\n"
              "[Install]\r\na.txt\r\n[StarMenuSet]\r\nMenu|a.txt\r\n[StartUpSet]\r\nStray|a.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");

    HWND settings = StartSettings(medium, "E2E グループ");
    ASSERT_NE(settings, nullptr);
    HWND copy = ConfirmSettings(settings, installDir, true, true);
    ASSERT_NE(copy, nullptr);
    HWND box = driver::WaitForMessageBox(setup_.pid);
    ASSERT_NE(box, nullptr) << driver::LastError();
    EXPECT_EQ("スタートメニューのグループの登録に失敗しました", driver::ReadMessageBox(box).text);
    ASSERT_TRUE(driver::PressButton(copy, kStopButton)) << driver::LastError();
    ExpectExitZero();
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\Stray.lnk"));
    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    DeleteFileA(blocked.c_str());
    driver::RemoveTree(installDir);
}

// ---- Dialog resource 104, read from setup.exe ------------------------------

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD classAtom;
    std::string text;
};

std::string Narrow(const WCHAR* text)
{
    char narrow[256] = "";
    WideCharToMultiByte(932, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// Steps over a name-or-ordinal field; *ordinal gets the ordinal, if any.
const WORD* SkipField(const WORD* field, WORD* ordinal, std::string* text)
{
    if (*field == 0xFFFF) {
        if (ordinal != nullptr)
            *ordinal = field[1];
        return field + 2;
    }
    if (text != nullptr)
        *text = Narrow(reinterpret_cast<const WCHAR*>(field));
    while (*field != 0)
        ++field;
    return field + 1;
}

const WORD* AlignDword(const WORD* pointer)
{
    return reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(pointer) + 3) & ~UINT_PTR(3));
}

TEST(CopyDialogTemplate, MatchesItsTable)
{
    std::string exe = driver::SetupExePath();
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << driver::ToUtf8(exe);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(104), MAKEINTRESOURCEA(5));
    ASSERT_NE(resource, nullptr) << "dialog 104";
    const DLGTEMPLATE* dialog =
        static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, resource)));
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT),
              dialog->style);
    EXPECT_EQ(210, dialog->cx);
    EXPECT_EQ(61, dialog->cy);
    ASSERT_EQ(6, dialog->cdit);
    const WORD* field = reinterpret_cast<const WORD*>(dialog + 1);
    field = SkipField(field, nullptr, nullptr);  // menu
    field = SkipField(field, nullptr, nullptr);  // class
    std::string caption;
    field = SkipField(field, nullptr, &caption);
    EXPECT_EQ(kCopyCaption, caption);
    EXPECT_EQ(9, *field++);
    std::string face;
    field = SkipField(field, nullptr, &face);
    EXPECT_EQ("ＭＳ Ｐゴシック", face);

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const WORD button = 0x80, edit = 0x81, label = 0x82;
    TemplateItem expected[] = {
        {child | WS_TABSTOP | BS_PUSHBUTTON, 73, 40, 64, 14, 2, button, "中止(&S)"},
        {child | WS_GROUP | SS_RIGHT, 10, 11, 30, 8, 1018, label, "コピー元："},
        {child | WS_GROUP | SS_RIGHT, 10, 27, 30, 8, 1019, label, "コピー先："},
        {child | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 44, 7, 159, 14, 1003, edit,
         ""},
        {child | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 44, 23, 159, 14, 1012, edit,
         ""},
        {WS_CHILD | WS_GROUP | SS_CENTER, 7, 15, 196, 15, 1020, label, "完了"},
    };
    for (const TemplateItem& want : expected) {
        field = AlignDword(field);
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(field);
        TemplateItem got = {item->style, item->x, item->y, item->cx, item->cy, item->id, 0, ""};
        field = reinterpret_cast<const WORD*>(item + 1);
        field = SkipField(field, &got.classAtom, nullptr);
        field = SkipField(field, nullptr, &got.text);
        field += 1 + *field / sizeof(WORD);  // creation data
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.style, got.style) << "control " << want.id;
        EXPECT_EQ(want.classAtom, got.classAtom) << "control " << want.id;
        EXPECT_EQ(want.text, got.text) << "control " << want.id;
        EXPECT_EQ(want.x, got.x) << "control " << want.id;
        EXPECT_EQ(want.y, got.y) << "control " << want.id;
        EXPECT_EQ(want.cx, got.cx) << "control " << want.id;
        EXPECT_EQ(want.cy, got.cy) << "control " << want.id;
    }
    FreeLibrary(module);
}

}  // namespace
