// The settings dialog, driven as a user would: what it shows for a script,
// from an empty file to one of 10 MB, which entries it refuses, what its
// buttons propose and what the folder browser gives. How the reader takes
// odd lines and which entries, values and names the dialog's decisions make
// are the native tests' business; here each path through the real dialog is
// seen.
#include <gtest/gtest.h>

#include <string>

#include "session.h"

namespace {

using driver::kDefaultCaption;

struct Fill {
    const char* name;
    std::string script;
    const char* bitmap;   // the sample's setup.bmp under this name; null: none
    const char* caption;
    std::string view;     // SettingsView(), %D: the drive root
};

TEST(Settings, EachScriptFillsTheDialogAndCancelEndsWithZero)
{
    // 10 MB of comments between the header and the keys: every lookup
    // reads the whole file.
    std::string big = "[init]\r\n";
    while (big.size() < 10 * 1024 * 1024)
        big += "; " + std::string(60, '-') + " 詰め物\r\n";
    const Fill rows[] = {
        {"full script",
         "[init]\r\nTitle=ぺるもら 製品 セットアップ\r\nmsga=一行目\r\nmsgb=二行目 two\r\nmsgc=三行目\r\n"
         "msgd=四行目\r\nmsge=五行目\r\nmsgf=六行目\r\nmsgg=七行目 seven\r\nImg=picture.bmp\r\n"
         "DefaultRegistStartMenu=1\r\nDefaultRegistStartUp=0\r\nCopyDir= PelmoraSample\r\n"
         "[Install]\r\nsetup.ini\r\n[StarMenuSet]\r\na|setup.ini\r\n[StartUpSet]\r\nb|setup.ini\r\n",
         "picture.bmp", "ぺるもら 製品 セットアップ",
         "一行目|二行目 two|三行目|四行目|五行目|六行目|七行目 seven / %D PelmoraSample / picture menu[x] up[ ] folder"},
        // No Title, no msgc, an empty CopyDir, a bitmap that is not there.
        {"missing keys",
         "[init]\r\nmsga=A\r\nmsgb=B\r\nmsgd=D\r\nmsge=E\r\nmsgf=F\r\nmsgg=G\r\nImg=missing.bmp\r\n"
         "CopyDir=\r\n[Install]\r\nsetup.ini\r\n",
         nullptr, kDefaultCaption, "A|B||D|E|F|G / %DPelmora / ~menu[ ] ~up[ ] folder"},
        {"default bitmap",
         "[init]\r\nmsga=A\r\nDefaultRegistStartUp=1\r\n[Install]\r\nsetup.ini\r\n[StartUpSet]\r\nb|x\r\n",
         "setup.bmp", kDefaultCaption, "A|||||| / %DPelmora / picture ~menu[ ] up[x] folder"},
        {"empty [Install]",
         "[init]\r\nCopyDir=Tools\r\n[Install]\r\n; nothing\r\n[StarMenuSet]\r\na|b.exe\r\n"
         "[StartUpSet]\r\nb|b.exe\r\n",
         nullptr, kDefaultCaption, "|||||| /  / menu[ ] up[ ] ~folder"},
        {"empty file", "", nullptr, kDefaultCaption, "|||||| /  / ~menu[ ] ~up[ ] ~folder"},
        {"10 MB", big + "Title=大きな台本\r\nmsga=最後の行\r\nCopyDir=PelmoraBig\r\n[Install]\r\na.txt\r\n",
         nullptr, "大きな台本", "最後の行|||||| / %DPelmoraBig / ~menu[ ] ~up[ ] folder"},
    };
    std::string bitmap;
    ASSERT_TRUE(driver::ReadFileBytes(driver::ExamplesDir() + "\\setup.bmp", &bitmap));
    for (const Fill& row : rows) {
        SCOPED_TRACE(row.name);
        driver::Session session;
        driver::Entries files;
        if (row.bitmap != nullptr)
            files.push_back({row.bitmap, bitmap});
        ASSERT_NE("", session.Medium("settings", row.script, files)) << driver::LastError();
        HWND dialog = session.Open(session.medium, row.caption, 60000);
        ASSERT_NE(nullptr, dialog) << driver::LastError();
        EXPECT_EQ(session.Expand(row.view), driver::SettingsView(dialog));
        EXPECT_EQ(nullptr, driver::FindMessageBox(session.setup.pid)) << "no script shows a message";

        // Over the backdrop, owned by it; the focus on the first tab stop.
        EXPECT_EQ(driver::FindWindowOf(session.setup.pid, driver::kBackdropClass, nullptr),
                  GetWindow(dialog, GW_OWNER));
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui));
        EXPECT_EQ(GetDlgItem(dialog, IDC_INSTALL_BUTTON), gui.hwndFocus);
        ASSERT_TRUE(driver::PressButton(dialog, IDC_CANCEL_BUTTON)) << driver::LastError();
        EXPECT_EQ(0u, driver::ExitCode(&session.setup)) << driver::LastError();
    }
}

// The long form of a path, as the folder browser reports it.
std::string LongPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return (length == 0 || length >= MAX_PATH) ? path : std::string(buffer, length);
}

// The buttons beside the entry, one after another in one dialog. A refused
// entry brings its message, owned by the dialog, and the proposal back; the
// default button brings the proposal back without one. The browser,
// cancelled, changes nothing; a folder chosen in it gets the proposal's last
// name (the typed text counts for nothing). Which entries are refused and
// which chosen folders keep their name is the native tests' business.
TEST(Settings, RefusedEntriesTheDefaultButtonAndTheFolderBrowser)
{
    const char kCharacters[] = "ファイル名に  /:*?\"<>|  の文字は使えません。";
    const char kNameless[] = "名無しのフォルダが指定されています。";
    driver::Session session;
    session.Medium("settings-entry", "[init]\r\nCopyDir=Apps\\Tool\r\n[Install]\r\nsetup.ini\r\n",
                   {{"Work\\", ""}});
    const std::string proposal = session.Expand("%DApps\\Tool");
    const std::string work = LongPath(session.medium) + "\\Work";
    const int kInstall = IDC_INSTALL_BUTTON, kBrowse = IDC_BROWSE_BUTTON;
    const struct {
        const char* typed;    // null: the edit as it stands
        int button;
        const char* message;  // what the install button says
        std::string chosen;   // in the browser; empty: cancelled
        std::string expected; // in the edit afterwards
    } rows[] = {
        {"D:\\My*Tool", kInstall, kCharacters, "", proposal},
        {"D:\\\\Tool", kInstall, kNameless, "", proposal},
        {"X:\\Other", IDC_DEFAULT_BUTTON, nullptr, "", proposal},
        {"X:\\Typed", kBrowse, nullptr, "", "X:\\Typed"},
        {nullptr, kBrowse, nullptr, work, work + "\\Tool"},
        {nullptr, kBrowse, nullptr, session.Expand("%D"), session.Expand("%DTool")},
    };
    HWND dialog = session.Open(session.medium);
    ASSERT_NE(nullptr, dialog) << driver::LastError();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed != nullptr ? row.typed : row.chosen);
        if (row.typed != nullptr) {
            ASSERT_TRUE(driver::SetControlText(dialog, IDC_INSTALL_DIR, row.typed));
        }
        ASSERT_TRUE(driver::PressButton(dialog, row.button)) << driver::LastError();
        if (row.message != nullptr) {
            driver::MessageBoxText box;
            ASSERT_TRUE(driver::AnswerMessageBox(session.setup.pid, &box)) << driver::LastError();
            EXPECT_EQ(driver::kProgramCaption, box.caption);
            EXPECT_EQ(row.message, box.text);
            EXPECT_EQ(dialog, box.owner);
        }
        if (row.button == kBrowse) {
            HWND browser = driver::WaitForFolderBrowser(session.setup.pid);
            ASSERT_NE(nullptr, browser) << driver::LastError();
            EXPECT_EQ("インストール先の親のフォルダ。\n自動的にフォルダ名が付きます。",
                      driver::ControlText(browser, 14146)) << "the browser's title text";
            if (!row.chosen.empty()) {
                ASSERT_TRUE(driver::SelectFolder(browser, session.setup.pid, row.chosen))
                    << driver::LastError();
            }
            ASSERT_TRUE(driver::PressButton(browser, row.chosen.empty() ? IDCANCEL : IDOK))
                << driver::LastError();
            ASSERT_TRUE(driver::WaitForWindowGone(browser)) << driver::LastError();
        }
        EXPECT_EQ(row.expected, driver::WaitForControlText(dialog, IDC_INSTALL_DIR, row.expected));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    }
}

}  // namespace
