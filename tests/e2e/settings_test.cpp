// The settings dialog, driven as a user would: what it shows for a script,
// which entries it refuses and what it then shows, how it ends, and what the
// folder browser proposes. The template of dialog 102 is read from setup.exe
// itself and compared with the table it was drawn from.
#include <string>
#include <vector>

#include "scenario.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

using namespace scenario;

const char kCharacterMessage[] = "ファイル名に  /:*?\"<>|  の文字は使えません。";
const char kFolderMessage[] = "名無しのフォルダが指定されています。";
const int kShortWaitMs = 5000;

// The seven text lines, msga to msgg.
const int kTextLineIds[] = {IDC_TEXT_LINE1, IDC_TEXT_LINE2, IDC_TEXT_LINE3, IDC_TEXT_LINE4,
                            IDC_TEXT_LINE5, IDC_TEXT_LINE6, IDC_TEXT_LINE7};

// The long form of a path, as the folder browser reports it.
std::string LongPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return (length == 0 || length >= MAX_PATH) ? path : std::string(buffer, length);
}

class Settings : public Scenario {
protected:
    // Polls until the edit shows the expected text; returns what it shows.
    std::string WaitForEditText(HWND dialog, const std::string& expected)
    {
        std::string text;
        DWORD start = GetTickCount();
        do {
            text = driver::ControlText(dialog, IDC_INSTALL_DIR);
            if (text == expected)
                break;
            Sleep(50);
        } while (GetTickCount() - start < static_cast<DWORD>(kShortWaitMs));
        return text;
    }
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kTextLine = kChild | SS_LEFT | WS_GROUP;

TEST_F(Settings, TemplateHoldsTheEighteenControlsInTabOrder)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(IDD_SETTINGS, &dialog));
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                 DS_SETFONT | DS_CENTER),
              dialog.style);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(262, dialog.cx);
    EXPECT_EQ(173, dialog.cy);
    EXPECT_EQ("", dialog.menu);
    EXPECT_EQ("", dialog.windowClass);
    EXPECT_EQ(kDefaultCaption, dialog.caption);
    EXPECT_EQ(9, dialog.pointSize);
    EXPECT_EQ("ＭＳ Ｐゴシック", dialog.face);
    // The banner names the version on one line; its text is not fixed.
    if (dialog.items.size() > 10) {
        std::string& banner = dialog.items[10].text;
        EXPECT_NE(std::string::npos, banner.find("0.50")) << driver::ToUtf8(banner);
        EXPECT_EQ(std::string::npos, banner.find('\n'));
        banner = "(banner)";
    }
    ExpectItems(
        {
            {1, "BUTTON", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 134, 74, 14,
             "インストール開始(&I)"},
            {2, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 127, 134, 50, 14, "中止(&S)"},
            {1004, "STATIC", kChild | SS_BITMAP | SS_SUNKEN, 7, 7, 18, 20, ""},
            {1005, "STATIC", kTextLine, 105, 15, 149, 8, ""},
            {1003, "EDIT", kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 57, 116,
             165, 14, ""},
            {1006, "STATIC", kTextLine, 105, 25, 149, 8, ""},
            {1007, "STATIC", kTextLine, 105, 35, 149, 8, ""},
            {1008, "STATIC", kTextLine, 105, 45, 149, 8, ""},
            {1009, "STATIC", kTextLine, 105, 55, 149, 8, ""},
            {1017, "STATIC", kTextLine, 9, 119, 47, 8, "インストール先："},
            {0xFFFF, "STATIC", kChild | SS_RIGHT | WS_GROUP, 7, 158, 248, 8, "(banner)"},
            {1011, "BUTTON", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 23, 100, 95, 10,
             "スタートメニューに登録する"},
            {1010, "STATIC", kTextLine, 105, 65, 149, 8, ""},
            {1012, "STATIC", kTextLine, 105, 75, 149, 8, ""},
            {0xFFFF, "BUTTON", kChild | BS_GROUPBOX, 7, 85, 248, 69, "インストール設定"},
            {1013, "BUTTON", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 131, 100, 84, 10,
             "スタートアップに登録する"},
            {1014, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 223, 116, 29, 14, "参照(&S)"},
            {1016, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 180, 134, 70, 14,
             "標準のインストール先"},
        },
        dialog.items);
}

// ---- Filling ----------------------------------------------------------------

TEST_F(Settings, FullScriptFillsTheDialog)
{
    const char* lines[] = {"一行目", "二行目 two", "三行目", "四行目", "五行目", "六行目",
                           "七行目 seven"};
    std::string script = "[init]\r\nTitle=ぺるもら 製品 セットアップ\r\n";
    for (int i = 0; i < 7; ++i)
        script += "msg" + std::string(1, char('a' + i)) + "=" + lines[i] + "\r\n";
    script += "Img=picture.bmp\r\nDefaultRegistStartMenu=1\r\nDefaultRegistStartUp=0\r\n"
              "CopyDir=PelmoraSample\r\n[Install]\r\nsetup.ini\r\n"
              "[StarMenuSet]\r\na|setup.ini\r\n[StartUpSet]\r\nb|setup.ini\r\n";
    std::string dir = Medium("settings-full", script);
    std::string bitmap;
    ASSERT_TRUE(driver::ReadFileBytes(driver::ExamplesDir() + "\\setup.bmp", &bitmap));
    ASSERT_TRUE(driver::WriteFileBytes(dir, "picture.bmp", bitmap)) << driver::LastError();
    HWND dialog = Open(dir, "ぺるもら 製品 セットアップ");
    ASSERT_NE(nullptr, dialog);

    // Over the backdrop, owned by it.
    HWND backdrop = driver::FindWindowOf(setup_.pid, driver::kBackdropClass, nullptr);
    EXPECT_EQ(backdrop, GetWindow(dialog, GW_OWNER));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(lines[i], driver::ControlText(dialog, kTextLineIds[i])) << "line " << i + 1;
    EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_PICTURE));
    EXPECT_EQ(BST_CHECKED, driver::CheckState(dialog, IDC_START_MENU_BOX));
    EXPECT_EQ(BST_UNCHECKED, driver::CheckState(dialog, IDC_START_UP_BOX));
    EXPECT_EQ(DriveRoot() + "PelmoraSample", driver::ControlText(dialog, IDC_INSTALL_DIR));
    for (int id : {IDC_START_MENU_BOX, IDC_START_UP_BOX, IDC_INSTALL_DIR, IDC_BROWSE_BUTTON,
                   IDC_DEFAULT_BUTTON, IDC_INSTALL_DIR_LABEL})
        EXPECT_TRUE(driver::IsControlEnabled(dialog, id)) << "control " << id;

    // The dialog manager gives the focus to the first tab stop.
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui));
    EXPECT_EQ(GetDlgItem(dialog, IDC_INSTALL_BUTTON), gui.hwndFocus);

    // The live controls stand in the template's order.
    const int order[] = {1, 2, 1004, 1005, 1003, 1006, 1007, 1008, 1009,
                         1017, 0xFFFF, 1011, 1010, 1012, 0xFFFF, 1013, 1014, 1016};
    HWND child = GetWindow(dialog, GW_CHILD);
    for (int id : order) {
        ASSERT_NE(nullptr, child) << "fewer controls than expected, missing " << id;
        EXPECT_EQ(id, GetDlgCtrlID(child) & 0xFFFF);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child) << "more controls than expected";

    driver::Screenshot shot;
    if (driver::CaptureScreen(&shot))
        driver::SaveArtifact(shot, "settings-full");
    PressAndExpectExitZero(dialog);
}

TEST_F(Settings, MissingKeysLeaveTheirPlacesEmpty)
{
    // No Title, no msgc, a bitmap that is not there.
    HWND dialog = Open(Medium("settings-missing",
                             "[init]\r\nmsga=A\r\nmsgb=B\r\nmsgd=D\r\nmsge=E\r\nmsgf=F\r\n"
                             "msgg=G\r\nImg=missing.bmp\r\n[Install]\r\nsetup.ini\r\n"));
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(kDefaultCaption, driver::WindowText(dialog));
    const char* lines[] = {"A", "B", "", "D", "E", "F", "G"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(lines[i], driver::ControlText(dialog, kTextLineIds[i])) << "line " << i + 1;
    EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_PICTURE));
    EXPECT_EQ(nullptr, driver::FindMessageBox(setup_.pid)) << "a missing bitmap shows no message";
    EXPECT_EQ(DriveRoot() + "Pelmora", driver::ControlText(dialog, IDC_INSTALL_DIR));
    PressAndExpectExitZero(dialog);
}

TEST_F(Settings, DefaultBitmapIsShown)
{
    std::string dir = Medium("settings-bitmap", "[init]\r\nmsga=A\r\n[Install]\r\nsetup.ini\r\n");
    ASSERT_TRUE(driver::CopyExampleFile(dir, "setup.bmp")) << driver::LastError();
    HWND dialog = Open(dir);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_PICTURE));
    // The picture control takes the bitmap's size.
    RECT rect = {};
    GetWindowRect(driver::Control(dialog, IDC_PICTURE), &rect);
    EXPECT_GT(rect.right - rect.left, 20);
    PressAndExpectExitZero(dialog);
}

TEST_F(Settings, DefaultBoxesCheckOnTheFirstOneNotFollowedByADigit)
{
    struct Row {
        const char* value;
        int expected;
    } rows[] = {{"1", BST_CHECKED}, {"21", BST_CHECKED}, {"11", BST_UNCHECKED},
                {"10", BST_UNCHECKED}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("value ") + row.value);
        std::string value = row.value;
        HWND dialog = Open(Medium("settings-default-box",
                                 "[init]\r\nDefaultRegistStartMenu=" + value +
                                     "\r\nDefaultRegistStartUp=" + value +
                                     "\r\n[Install]\r\nsetup.ini\r\n[StarMenuSet]\r\n"
                                     "a|setup.ini\r\n[StartUpSet]\r\nb|setup.ini\r\n"));
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(row.expected, driver::CheckState(dialog, IDC_START_MENU_BOX));
        EXPECT_EQ(row.expected, driver::CheckState(dialog, IDC_START_UP_BOX));
        EXPECT_TRUE(driver::IsControlEnabled(dialog, IDC_START_MENU_BOX));
        EXPECT_TRUE(driver::IsControlEnabled(dialog, IDC_START_UP_BOX));
        PressAndExpectExitZero(dialog);
    }
}

TEST_F(Settings, CopyDirIsAppendedAsWritten)
{
    struct Row {
        const char* line;
        std::string expected;
    } rows[] = {
        {"CopyDir=Tools\r\n", DriveRoot() + "Tools"},
        {"CopyDir= Tools\r\n", DriveRoot() + " Tools"},
        {"CopyDir=\r\n", DriveRoot() + "Pelmora"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        HWND dialog = Open(Medium("settings-copydir", std::string("[init]\r\n") + row.line +
                                                         "[Install]\r\nsetup.ini\r\n"));
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(row.expected, driver::ControlText(dialog, IDC_INSTALL_DIR));
        PressAndExpectExitZero(dialog);
    }
}

TEST_F(Settings, EmptyInstallSectionDisablesTheDirectory)
{
    std::string dir = Medium("settings-no-install",
                             "[init]\r\nCopyDir=Tools\r\n[Install]\r\n; nothing\r\n"
                             "[StarMenuSet]\r\na|b.exe\r\n[StartUpSet]\r\nb|b.exe\r\n");
    HWND dialog = Open(dir);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", driver::ControlText(dialog, IDC_INSTALL_DIR));
    for (int id : {IDC_INSTALL_DIR_LABEL, IDC_INSTALL_DIR, IDC_BROWSE_BUTTON, IDC_DEFAULT_BUTTON})
        EXPECT_FALSE(driver::IsControlEnabled(dialog, id)) << "control " << id;
    for (int id : {IDC_INSTALL_BUTTON, IDC_CANCEL_BUTTON, IDC_START_MENU_BOX, IDC_START_UP_BOX})
        EXPECT_TRUE(driver::IsControlEnabled(dialog, id)) << "control " << id;
    PressAndExpectExitZero(dialog);
}

// A box checked by its default stays checked while disabled, and the install
// button still reads it: the Start Menu group is made, empty.
TEST_F(Settings, EmptyShortcutSectionsDisableTheirBoxes)
{
    std::string group = "pelmora-e2e-settings-group";
    std::string groupPath = programs_ + "\\" + group;
    Clean({groupPath});
    std::string dir = Medium("settings-no-shortcuts",
                             "[init]\r\nDefaultRegistStartMenu=1\r\nStartMenuGroup=" + group +
                                 "\r\n[Install]\r\nsetup.ini\r\n[StarMenuSet]\r\n[StartUpSet]\r\n");
    std::string target = dir + "\\installed";
    HWND dialog = Open(dir);
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(driver::IsControlEnabled(dialog, IDC_START_MENU_BOX));
    EXPECT_FALSE(driver::IsControlEnabled(dialog, IDC_START_UP_BOX));
    EXPECT_EQ(BST_CHECKED, driver::CheckState(dialog, IDC_START_MENU_BOX));
    EXPECT_EQ(BST_UNCHECKED, driver::CheckState(dialog, IDC_START_UP_BOX));

    ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, target)) << driver::LastError();
    ASSERT_TRUE(driver::PressButton(dialog, IDC_INSTALL_BUTTON)) << driver::LastError();
    EXPECT_TRUE(RunToCompletion().empty());
    ExpectExitZero();
    EXPECT_TRUE(driver::DirectoryExists(groupPath)) << groupPath;
    EXPECT_TRUE(driver::ListFiles(groupPath).empty());
}

// ---- Entries ----------------------------------------------------------------

TEST_F(Settings, RefusedEntriesShowTheirMessageAndTheProposalAgain)
{
    struct Row {
        const char* entry;
        const char* message;
    } rows[] = {
        {"D:\\My*Tool", kCharacterMessage},
        {"D:\\My|Tool", kCharacterMessage},
        {"D:\\\\Tool", kFolderMessage},
        {"D:\\Tool\\ \t \\Sub", kFolderMessage},
    };
    HWND dialog = Open(Medium("settings-refused", "[init]\r\nCopyDir=Tools\r\n[Install]\r\nsetup.ini\r\n"));
    ASSERT_NE(nullptr, dialog);
    std::string proposal = DriveRoot() + "Tools";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, row.entry));
        ASSERT_TRUE(driver::PressButton(dialog, IDC_INSTALL_BUTTON)) << driver::LastError();
        HWND box = driver::WaitForMessageBox(setup_.pid);
        ASSERT_NE(nullptr, box) << driver::LastError();
        driver::MessageBoxText text = driver::ReadMessageBox(box);
        EXPECT_EQ(driver::kProgramCaption, text.caption);
        EXPECT_EQ(row.message, text.text);
        EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
        ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
        ASSERT_TRUE(driver::WaitForWindowGone(box, kShortWaitMs)) << driver::LastError();
        EXPECT_EQ(proposal, WaitForEditText(dialog, proposal));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    }
    PressAndExpectExitZero(dialog);
}

TEST_F(Settings, DefaultButtonShowsTheProposal)
{
    HWND dialog = Open(Medium("settings-default", "[init]\r\nCopyDir=Apps\\Tool\r\n[Install]\r\nsetup.ini\r\n"));
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, "X:\\Other"));
    ASSERT_TRUE(driver::PressButton(dialog, IDC_DEFAULT_BUTTON)) << driver::LastError();
    std::string proposal = DriveRoot() + "Apps\\Tool";
    EXPECT_EQ(proposal, WaitForEditText(dialog, proposal));
    PressAndExpectExitZero(dialog);
}

// Blanks before the entry and a final backslash are dropped; the files go
// where the entry says.
TEST_F(Settings, AcceptedEntryEndsTheDialogAndIsUsed)
{
    std::string dir = Medium("settings-accepted", "[init]\r\nCopyDir=Tools\r\n[Install]\r\nsetup.ini\r\n");
    std::string target = dir + "\\chosen";
    HWND dialog = Open(dir);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, " \t" + target + "\\  "));
    ASSERT_TRUE(driver::PressButton(dialog, IDC_INSTALL_BUTTON)) << driver::LastError();
    ASSERT_TRUE(driver::WaitForWindowGone(dialog)) << driver::LastError();
    EXPECT_TRUE(RunToCompletion().empty());
    ExpectExitZero();
    EXPECT_TRUE(driver::FileExists(target + "\\setup.ini")) << target;
    EXPECT_FALSE(driver::DirectoryExists(DriveRoot() + "Tools"));
}

TEST_F(Settings, CancelEndsTheProgramWithoutCopying)
{
    enum How { kEscape, kCancelButton, kCloseBox };
    const char* names[] = {"Esc", "cancel button", "close box"};
    std::string folder = "pelmora-e2e-settings-cancel";
    for (How how : {kEscape, kCancelButton, kCloseBox}) {
        SCOPED_TRACE(names[how]);
        HWND dialog = Open(Medium("settings-cancel", "[init]\r\nCopyDir=" + folder +
                                                        "\r\n[Install]\r\nsetup.ini\r\n"));
        ASSERT_NE(nullptr, dialog);
        bool sent = how == kEscape
                        ? driver::SendKey(driver::Control(dialog, IDC_INSTALL_BUTTON), VK_ESCAPE)
                    : how == kCancelButton ? driver::PressButton(dialog, IDC_CANCEL_BUTTON)
                                           : driver::PostClose(dialog);
        ASSERT_TRUE(sent) << driver::LastError();
        ExpectExitZero();
        EXPECT_FALSE(driver::DirectoryExists(DriveRoot() + folder));
    }
}

// ---- The folder browser -------------------------------------------------------

// Hands the path to the browser in the setup process's own memory.
bool SendSelection(HWND browser, HANDLE process, const std::string& path)
{
    void* remote = VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr)
        return false;
    DWORD_PTR result = 0;
    bool ok = WriteProcessMemory(process, remote, path.c_str(), path.size() + 1, nullptr) &&
              SendMessageTimeoutA(browser, BFFM_SETSELECTIONA, TRUE,
                                  reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000,
                                  &result);
    // The browser reads the path only during the call.
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return ok;
}

// Selects a folder in the browser as a click in its tree would. A freshly
// opened browser may still select its root after the first request, so the
// request is repeated until the tree's selection has left the root.
bool SelectFolder(HWND browser, DWORD pid, const std::string& path)
{
    HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (tree == nullptr || process == nullptr)
        return false;
    bool selected = false;
    for (int attempt = 0; attempt < 10 && !selected; ++attempt) {
        Sleep(200);
        if (!SendSelection(browser, process, path))
            break;
        Sleep(200);
        LRESULT root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        LRESULT caret = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        selected = caret != 0 && caret != root;
    }
    CloseHandle(process);
    return selected;
}

TEST_F(Settings, CancelledBrowserChangesNothing)
{
    HWND dialog = Open(Medium("settings-browse-cancel", "[init]\r\nCopyDir=Tools\r\n[Install]\r\nsetup.ini\r\n"));
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, "X:\\Typed"));
    ASSERT_TRUE(driver::PressButton(dialog, IDC_BROWSE_BUTTON)) << driver::LastError();
    HWND browser = WaitForFolderBrowser(setup_.pid);
    ASSERT_NE(nullptr, browser) << "no folder browser";
    EXPECT_EQ("インストール先の親のフォルダ。\n自動的にフォルダ名が付きます。",
              driver::ControlText(browser, 14146)) << "the browser's title text";
    ASSERT_TRUE(driver::PressButton(browser, IDCANCEL)) << driver::LastError();
    ASSERT_TRUE(driver::WaitForWindowGone(browser)) << driver::LastError();
    EXPECT_EQ("X:\\Typed", driver::ControlText(dialog, IDC_INSTALL_DIR));
    PressAndExpectExitZero(dialog);
}

TEST_F(Settings, ChosenFolderGetsTheProposedName)
{
    std::string dir = Medium("settings-browse", "[init]\r\nCopyDir=Apps\\Tool\r\n[Install]\r\nsetup.ini\r\n");
    std::string work = LongPath(dir) + "\\Work";
    std::string named = LongPath(dir) + "\\TOOL";
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(named.c_str(), nullptr));
    struct Row {
        const char* typed;  // nullptr: leave the proposal
        std::string chosen;
        std::string expected;
    } rows[] = {
        {nullptr, work, work + "\\Tool"},
        // Already named like the proposal, apart from ASCII case.
        {nullptr, named, named},
        {nullptr, DriveRoot(), DriveRoot() + "Tool"},
        // The name comes from the proposal, not from what was typed.
        {"C:\\Other", work, work + "\\Tool"},
    };
    HWND dialog = Open(dir);
    ASSERT_NE(nullptr, dialog);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chosen);
        if (row.typed != nullptr) {
            ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, row.typed));
        }
        ASSERT_TRUE(driver::PressButton(dialog, IDC_BROWSE_BUTTON)) << driver::LastError();
        HWND browser = WaitForFolderBrowser(setup_.pid);
        ASSERT_NE(nullptr, browser) << "no folder browser";
        ASSERT_TRUE(SelectFolder(browser, setup_.pid, row.chosen));
        ASSERT_TRUE(driver::PressButton(browser, IDOK)) << driver::LastError();
        ASSERT_TRUE(driver::WaitForWindowGone(browser)) << driver::LastError();
        EXPECT_EQ(row.expected, WaitForEditText(dialog, row.expected));
    }
    PressAndExpectExitZero(dialog);
}

}  // namespace
