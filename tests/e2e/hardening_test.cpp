// Faults and bad input, end to end: scripts that are empty, garbage, huge,
// cut by a NUL, prefixed by a byte-order mark, with odd line ends or overlong
// lines; paths that pass 259 characters; destinations that refuse the copy;
// cancel at every point where the user can reach it; and a long list of
// files. Every run must end with 0, show what the script reader gives, warn
// only where [Install] fails, and never touch a file it was not asked to.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "resource.h"

namespace {

const char kDefaultCaption[] = "セットアップ";
const char kCopyCaption[] = "インストール中...";
const char kCompletion[] = "インストールが完了しました";
const char kGroupFailure[] = "スタートメニューのグループの登録に失敗しました";
const char kCannotCopy[] = "コピーできませんでした：";
const char kFinishButton[] = "終了(&E)";
const size_t kPathBound = 259;
const int kExitWaitMs = 20000;

std::string DriveRoot()
{
    return driver::WindowsDirectory().substr(0, 1) + ":\\";
}

std::string Contents(const std::string& path)
{
    std::string bytes;
    return driver::ReadFileBytes(path, &bytes) ? bytes : "<missing>";
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    size_t slash = path.rfind('\\');
    ASSERT_TRUE(driver::WriteFileBytes(path.substr(0, slash), path.substr(slash + 1), bytes))
        << driver::LastError();
}

// Names in a folder, "." and ".." left out, sorted.
std::vector<std::string> Listing(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Removes a tree whose root itself may carry the read-only attribute.
void Remove(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    driver::RemoveTree(path);
}

// The warning of a failed [Install] copy, cut as the program cuts it.
std::string Warning(const std::string& source, const std::string& destination)
{
    return (kCannotCopy + source.substr(0, kPathBound) + " -> " +
            destination.substr(0, kPathBound))
        .substr(0, kPathBound);
}

// Makes nested folders below base until the path is exactly `length` long
// (base must be at least two characters shorter).
std::string DeepFolder(const std::string& base, size_t length)
{
    std::string path = base;
    while (path.size() < length) {
        size_t room = length - path.size() - 1;  // after the separator
        // The last component takes what is left; an earlier one leaves at
        // least two characters, a separator and a name.
        size_t part = room <= 100 ? room : (room - 100 >= 2 ? 100 : 90);
        path += "\\" + std::string(part, 'd');
        if (!CreateDirectoryA(path.c_str(), nullptr) && !driver::DirectoryExists(path)) {
            ADD_FAILURE() << "cannot create a " << path.size() << "-character folder";
            return "";
        }
    }
    return path;
}

// Whether the platform refuses to copy onto a read-only file. Windows does;
// Wine run by root does not, since the file system lets root write there.
bool CopyOntoReadOnlyFails(const std::string& dir)
{
    std::string from = dir + "\\probe-from.txt";
    std::string to = dir + "\\probe-to.txt";
    driver::WriteFileBytes(dir, "probe-from.txt", "new");
    driver::WriteFileBytes(dir, "probe-to.txt", "old");
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    bool refused = CopyFileA(from.c_str(), to.c_str(), FALSE) == 0;
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(from.c_str());
    DeleteFileA(to.c_str());
    return refused;
}

// One setup.exe per scenario; helpers to walk it as a user would.
class Run : public testing::Test {
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

    std::string Medium(const std::string& name, const std::string& script)
    {
        std::string dir = driver::MakeMediumDir(name);
        EXPECT_FALSE(dir.empty()) << driver::LastError();
        EXPECT_TRUE(driver::WriteFileBytes(dir, "setup.ini", script)) << driver::LastError();
        return dir;
    }

    // Starts setup.exe in dir and waits for the settings dialog; a null
    // caption accepts any.
    HWND Open(const std::string& dir, const char* caption, int timeoutMs = driver::kWaitMs)
    {
        driver::KillSetup(&setup_);
        if (!driver::StartSetup(dir, &setup_)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        HWND settings = driver::WaitForDialog(setup_.pid, caption, timeoutMs);
        if (settings == nullptr)
            ADD_FAILURE() << "settings dialog: " << driver::LastError();
        return settings;
    }

    void Tick(HWND dialog, int id)
    {
        HWND box = driver::Control(dialog, id);
        ASSERT_NE(box, nullptr) << driver::LastError();
        DWORD_PTR ignored;
        SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        ASSERT_EQ(BST_CHECKED, driver::CheckState(dialog, id)) << "box " << id;
    }

    // Types the folder, ticks the boxes asked for and presses install; the
    // copy dialog, or null.
    HWND Confirm(HWND settings, const std::string& installDir, bool startMenu = false,
                 bool startUp = false)
    {
        if (!driver::SetControlText(settings, IDC_INSTALL_DIR, installDir)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        if (startMenu)
            Tick(settings, IDC_START_MENU_BOX);
        if (startUp)
            Tick(settings, IDC_START_UP_BOX);
        if (!driver::PressButton(settings, IDC_INSTALL_BUTTON)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        HWND copy = driver::WaitForDialog(setup_.pid, kCopyCaption);
        if (copy == nullptr)
            ADD_FAILURE() << driver::LastError();
        copy_ = copy;
        return copy;
    }

    // Closes every warning until the completion box, which it closes too;
    // returns the warnings in order. The copy dialog's two fields as they
    // stood under each warning go to fieldsAtWarnings_.
    std::vector<std::string> RunToCompletion(int waitMs = driver::kWaitMs)
    {
        std::vector<std::string> warnings;
        for (;;) {
            HWND box = driver::WaitForMessageBox(setup_.pid, waitMs);
            if (box == nullptr) {
                ADD_FAILURE() << driver::LastError();
                return warnings;
            }
            driver::MessageBoxText text = driver::ReadMessageBox(box);
            EXPECT_EQ(driver::kProgramCaption, text.caption);
            if (text.text != kCompletion && copy_ != nullptr)
                fieldsAtWarnings_.push_back({driver::ControlText(copy_, IDC_SOURCE_PATH),
                                             driver::ControlText(copy_, IDC_DESTINATION_PATH)});
            EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
            EXPECT_TRUE(driver::WaitForWindowGone(box)) << driver::LastError();
            if (text.text == kCompletion)
                return warnings;
            warnings.push_back(text.text);
        }
    }

    void ExpectExitZero()
    {
        DWORD code = 99;
        ASSERT_TRUE(driver::WaitForExit(&setup_, kExitWaitMs, &code)) << driver::LastError();
        EXPECT_EQ(0u, code);
    }

    // Polls field 1003 of the copy dialog until it names `what`.
    bool WaitForSource(HWND copy, const std::string& what)
    {
        DWORD start = GetTickCount();
        while (driver::ControlText(copy, IDC_SOURCE_PATH).find(what) == std::string::npos) {
            if (GetTickCount() - start > 20000 || !driver::IsRunning(setup_))
                return false;
            Sleep(2);
        }
        return true;
    }

    driver::ScopedSetup setup_;
    HWND copy_ = nullptr;
    std::vector<std::vector<std::string>> fieldsAtWarnings_;
    std::string programs_;
    std::string startUp_;
};

// ---- Scripts the reader must survive ----------------------------------------

class HardeningScripts : public Run {};

struct ScriptCase {
    const char* name;
    std::string bytes;
    const char* caption;          // null: any caption will do
    std::vector<std::string> lines;  // msga, msgb, msgc as shown; empty: not checked
    std::string edit;             // install folder shown
    bool checkEdit;
};

std::string Joined(const std::vector<std::string>& lines, const std::string& end)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// Bytes from a fixed generator, weighted towards what the reader reacts to,
// with no NUL so that every byte is read.
std::string Garbage(size_t size)
{
    static const char kStructure[] = "[]=;|\\ \t\r\ninitInstallmsgaTitle1";
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        unsigned value = (state >> 16) & 0xFF;
        if (value < 128)
            byte = kStructure[value % (sizeof kStructure - 1)];
        else
            byte = static_cast<char>(value);
    }
    return bytes;
}

std::vector<ScriptCase> ScriptCases()
{
    std::string root = DriveRoot();
    std::vector<ScriptCase> cases;
    cases.push_back({"empty file", "", kDefaultCaption, {"", "", ""}, "", true});
    cases.push_back({"NUL in the middle",
                     std::string("[init]\r\nTitle=前半\r\nmsga=一行目\r\n") + '\0' +
                         "msgb=後半\r\n[Install]\r\na.txt\r\n",
                     "前半", {"一行目", "", ""}, "", true});
    // The mark hides the first header; a later [init2] opens [init] again.
    cases.push_back({"byte-order mark",
                     "\xEF\xBB\xBF[init]\r\nTitle=BOM付き\r\nmsga=隠れる\r\n[init2]\r\nmsgb=見える\r\n"
                     "[Install]\r\na.txt\r\n",
                     kDefaultCaption, {"", "見える", ""}, root + "Pelmora", true});

    std::vector<std::string> eolScript = {"[init]", "Title=改行 テスト", "msga=一行目", "",
                                          "  msgb=二行目", "; msgc=注釈", "\tmsgc=三行目",
                                          "CopyDir=HardeningEol", "[Install]", "a.txt"};
    const char* ends[][2] = {{"CR LF", "\r\n"}, {"CR only", "\r"}, {"LF only", "\n"},
                             {"LF CR", "\n\r"}};
    for (auto& end : ends)
        cases.push_back({end[0], Joined(eolScript, end[1]), "改行 テスト",
                         {"一行目", "二行目", "三行目"}, root + "HardeningEol", true});

    // Lines over 255 characters are read as their first 255; the rest of the
    // line is dropped, so neither the tail after msga nor the one after the
    // blanks is read as a line of its own.
    std::string longScript = "[init]\r\nTitle=" + std::string(300, 'T') + "\r\nmsga=" +
                             std::string(250, 'A') + "Xmsgb=tail\r\n" + std::string(300, ' ') +
                             "msgc=hidden\r\nmsgc=見える\r\nCopyDir=" + std::string(300, 'C') +
                             "\r\n[Install]\r\na.txt\r\n";
    static std::string longCaption(249, 'T');
    cases.push_back({"lines over 255 characters", longScript, longCaption.c_str(),
                     {std::string(250, 'A'), "", "見える"}, root + std::string(247, 'C'), true});

    // 10 MB of comments between the header and the keys: every lookup reads
    // the whole file.
    std::string big = "[init]\r\n";
    std::string filler = "; " + std::string(60, '-') + " 詰め物\r\n";
    while (big.size() < 10 * 1024 * 1024)
        big += filler;
    big += "Title=大きな台本\r\nmsga=最後の行\r\nCopyDir=HardeningBig\r\n[Install]\r\na.txt\r\n";
    cases.push_back({"10 MB", big, "大きな台本", {"最後の行", "", ""}, root + "HardeningBig", true});

    cases.push_back({"binary garbage", Garbage(256 * 1024), nullptr, {}, "", false});
    return cases;
}

TEST_F(HardeningScripts, EachScriptOpensTheDialogWithWhatTheReaderGivesAndEndsWithZero)
{
    const int lineIds[] = {IDC_TEXT_LINE1, IDC_TEXT_LINE2, IDC_TEXT_LINE3};
    for (const ScriptCase& test : ScriptCases()) {
        SCOPED_TRACE(test.name);
        std::string dir = Medium("bad-script", test.bytes);
        HWND settings = Open(dir, test.caption, 60000);
        ASSERT_NE(settings, nullptr);
        for (size_t i = 0; i < test.lines.size(); ++i)
            EXPECT_EQ(test.lines[i], driver::ControlText(settings, lineIds[i])) << "msg line " << i;
        if (test.checkEdit) {
            EXPECT_EQ(test.edit, driver::ControlText(settings, IDC_INSTALL_DIR));
            EXPECT_EQ(!test.edit.empty(), driver::IsControlEnabled(settings, IDC_INSTALL_DIR));
        }
        EXPECT_EQ(nullptr, driver::FindMessageBox(setup_.pid));
        ASSERT_TRUE(driver::PressButton(settings, IDC_CANCEL_BUTTON)) << driver::LastError();
        ExpectExitZero();
    }
}

// ---- Faults at the destination and paths at the limit ------------------------

class HardeningFaults : public Run {};

// SourceDir + "\" + entry passes 259 characters: the cut path would name
// another file (here a decoy that does exist), so nothing is copied and the
// warning says so; a path of exactly 259 still copies.
TEST_F(HardeningFaults, SourcePathsPastTheLimitAreWarnedAboutAndNotCopied)
{
    std::string base = driver::MakeMediumDir("limit-source");
    ASSERT_FALSE(base.empty()) << driver::LastError();
    const size_t kSourceDirLength = 230;
    std::string medium = DeepFolder(base, kSourceDirLength);
    ASSERT_EQ(kSourceDirLength, medium.size());
    std::string installDir = "C:\\pelmora-hardening-src";
    Remove(installDir);

    std::string exact(kPathBound - kSourceDirLength - 1, 'e');   // source of 259
    std::string over(kPathBound - kSourceDirLength, 'o');        // source of 260
    std::string distant(300 - kSourceDirLength, 'f');            // source of 300
    std::string cutDistant = distant.substr(0, kPathBound - kSourceDirLength - 1);
    ASSERT_NE(cutDistant, exact);
    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E 長い元\r\n[Install]\r\nfirst.txt\r\n" + exact + "\r\n" + over +
                  "\r\n" + distant + "\r\nlast.txt\r\n");
    WriteFile(medium + "\\first.txt", "first");
    WriteFile(medium + "\\" + exact, "exact");
    // What the cut source paths name: a copy from there would be wrong.
    WriteFile(medium + "\\" + over.substr(0, over.size() - 1), "cut over");
    WriteFile(medium + "\\" + cutDistant, "cut distant");
    WriteFile(medium + "\\last.txt", "last");

    HWND settings = Open(medium, "E2E 長い元");
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(Confirm(settings, installDir), nullptr);
    std::vector<std::string> warnings = RunToCompletion();
    std::vector<std::string> expected = {
        Warning(medium + "\\" + over, installDir + "\\" + over),
        Warning(medium + "\\" + distant, installDir + "\\" + distant),
    };
    EXPECT_EQ(expected, warnings);
    for (const std::string& warning : warnings)
        EXPECT_LE(warning.size(), kPathBound);
    // The fields show the paths as cut.
    std::vector<std::vector<std::string>> fields = {
        {(medium + "\\" + over).substr(0, kPathBound), installDir + "\\" + over},
        {(medium + "\\" + distant).substr(0, kPathBound), installDir + "\\" + distant},
    };
    EXPECT_EQ(fields, fieldsAtWarnings_);
    ExpectExitZero();

    std::vector<std::string> names = {exact, "first.txt", "last.txt"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, Listing(installDir));
    EXPECT_EQ("exact", Contents(installDir + "\\" + exact));
    EXPECT_EQ("last", Contents(installDir + "\\last.txt"));
    Remove(installDir);
    Remove(base);
}

// InstallDir + "\" + entry passes 259 characters: an unrelated file at the
// cut name stays as it was, nothing new appears there, the install goes on.
// The same holds for a StartUp link whose path would pass the limit.
TEST_F(HardeningFaults, DestinationPathsPastTheLimitLeaveTheCutNameAlone)
{
    std::string medium = driver::MakeMediumDir("limit-destination");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    const size_t kInstallDirLength = 230;
    std::string top = "C:\\pelmora-hardening-dst";
    Remove(top);
    ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
    std::string installDir = DeepFolder(top, kInstallDirLength);
    ASSERT_EQ(kInstallDirLength, installDir.size());

    std::string exact(kPathBound - kInstallDirLength - 1, 'e');  // destination of 259
    std::string over(kPathBound - kInstallDirLength, 'o');       // destination of 260
    std::string distant(60, 'f');
    std::string cutDistant = distant.substr(0, exact.size());
    std::string longLink(230, 'L');
    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E 長い先\r\n[Install]\r\nfirst.txt\r\n" + exact + "\r\n" + over +
                  "\r\n" + distant + "\r\nlast.txt\r\n[StartUpSet]\r\n" + longLink +
                  "|first.txt\r\nHardeningLimitOk|first.txt\r\n");
    for (const std::string& name : {std::string("first.txt"), exact, over, distant,
                                    std::string("last.txt")})
        WriteFile(medium + "\\" + name, "new " + name.substr(0, 8));
    WriteFile(installDir + "\\" + cutDistant, "unrelated");
    std::vector<std::string> startUpBefore = Listing(startUp_);
    DeleteFileA((startUp_ + "\\HardeningLimitOk.lnk").c_str());

    HWND settings = Open(medium, "E2E 長い先");
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(Confirm(settings, installDir, false, true), nullptr);
    std::vector<std::string> warnings = RunToCompletion();
    std::vector<std::string> expected = {
        Warning(medium + "\\" + over, installDir + "\\" + over),
        Warning(medium + "\\" + distant, installDir + "\\" + distant),
    };
    EXPECT_EQ(expected, warnings);
    for (const std::string& warning : warnings)
        EXPECT_LE(warning.size(), kPathBound);
    std::vector<std::vector<std::string>> fields = {
        {medium + "\\" + over, (installDir + "\\" + over).substr(0, kPathBound)},
        {medium + "\\" + distant, (installDir + "\\" + distant).substr(0, kPathBound)},
    };
    EXPECT_EQ(fields, fieldsAtWarnings_);
    ExpectExitZero();

    std::vector<std::string> names = {exact, cutDistant, "first.txt", "last.txt"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, Listing(installDir));
    EXPECT_EQ("unrelated", Contents(installDir + "\\" + cutDistant));
    EXPECT_EQ("new " + exact.substr(0, 8), Contents(installDir + "\\" + exact));
    EXPECT_EQ("new last.txt", Contents(installDir + "\\last.txt"));
    std::vector<std::string> startUpAfter = Listing(startUp_);
    startUpBefore.push_back("HardeningLimitOk.lnk");
    std::sort(startUpBefore.begin(), startUpBefore.end());
    EXPECT_EQ(startUpBefore, startUpAfter);
    DeleteFileA((startUp_ + "\\HardeningLimitOk.lnk").c_str());
    Remove(top);
}

// A read-only install folder (Windows does not stop files being made in
// one), a read-only file and a file held open in it, an entry that names a
// folder of the medium, and files the Windows and system directories
// already hold.
TEST_F(HardeningFaults, RefusedDestinationsWarnOnlyForInstall)
{
    std::string medium = driver::MakeMediumDir("faults");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string windows = driver::WindowsDirectory();
    std::string system = driver::SystemDirectory();
    std::string installDir = "C:\\pelmora-hardening-faults";
    const std::string kKeptIni = "\\pelmora-hardening-kept.ini";
    const std::string kNewIni = "\\pelmora-hardening-new.ini";
    const std::string kKeptDll = "\\pelmora-hardening-kept.dll";
    const std::string kMissingDll = "\\pelmora-hardening-missing.dll";
    Remove(installDir);
    DeleteFileA((windows + kNewIni).c_str());
    DeleteFileA((system + kMissingDll).c_str());

    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E 拒否\r\n"
              "[Install]\r\na.txt\r\nlocked.txt\r\nbusy.txt\r\nsub\r\nb.txt\r\n"
              "[InstallWindows]\r\npelmora-hardening-kept.ini\r\nsub\r\npelmora-hardening-new.ini\r\n"
              "[InstallSystem]\r\npelmora-hardening-kept.dll\r\npelmora-hardening-missing.dll\r\n"
              "sub\r\n");
    WriteFile(medium + "\\a.txt", "new a");
    WriteFile(medium + "\\b.txt", "new b");
    WriteFile(medium + "\\locked.txt", "new locked");
    WriteFile(medium + "\\busy.txt", "new busy");
    ASSERT_TRUE(CreateDirectoryA((medium + "\\sub").c_str(), nullptr));
    WriteFile(medium + "\\sub\\inner.txt", "inner");
    WriteFile(medium + kKeptIni, "medium ini");
    WriteFile(medium + kNewIni, "new ini");
    WriteFile(medium + kKeptDll, "medium dll");

    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    WriteFile(installDir + "\\locked.txt", "old locked");
    ASSERT_TRUE(SetFileAttributesA((installDir + "\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(installDir.c_str(), FILE_ATTRIBUTE_READONLY));
    bool lockRefuses = CopyOntoReadOnlyFails(medium);
    if (!lockRefuses)
        std::printf("note: this platform copies onto read-only files; no warning expected\n");
    if (!(GetFileAttributesA(installDir.c_str()) & FILE_ATTRIBUTE_READONLY))
        std::printf("note: this platform keeps no read-only mark on folders\n");
    // A file another program holds open without sharing refuses the copy
    // everywhere, whoever runs the setup.
    WriteFile(installDir + "\\busy.txt", "old busy");
    HANDLE busy = CreateFileA((installDir + "\\busy.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    WriteFile(windows + kKeptIni, "kept ini");
    WriteFile(system + kKeptDll, "kept dll");

    HWND settings = Open(medium, "E2E 拒否");
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(Confirm(settings, installDir), nullptr);
    std::vector<std::string> warnings = RunToCompletion();
    std::vector<std::string> expected;
    if (lockRefuses)
        expected.push_back(Warning(medium + "\\locked.txt", installDir + "\\locked.txt"));
    expected.push_back(Warning(medium + "\\busy.txt", installDir + "\\busy.txt"));
    expected.push_back(Warning(medium + "\\sub", installDir + "\\sub"));
    EXPECT_EQ(expected, warnings);
    ExpectExitZero();
    CloseHandle(busy);
    EXPECT_EQ("old busy", Contents(installDir + "\\busy.txt"));

    EXPECT_EQ("new a", Contents(installDir + "\\a.txt"));
    EXPECT_EQ("new b", Contents(installDir + "\\b.txt"));
    EXPECT_EQ(lockRefuses ? "old locked" : "new locked", Contents(installDir + "\\locked.txt"));
    EXPECT_FALSE(driver::FileExists(installDir + "\\sub"));
    EXPECT_FALSE(driver::DirectoryExists(installDir + "\\sub"));
    EXPECT_EQ("kept ini", Contents(windows + kKeptIni));
    EXPECT_EQ("new ini", Contents(windows + kNewIni));
    EXPECT_EQ("kept dll", Contents(system + kKeptDll));
    EXPECT_FALSE(driver::FileExists(system + kMissingDll));
    EXPECT_FALSE(driver::DirectoryExists(windows + "\\sub"));

    SetFileAttributesA((installDir + "\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    Remove(installDir);
    for (const std::string& path : {windows + kKeptIni, windows + kNewIni, system + kKeptDll,
                                    system + kMissingDll})
        DeleteFileA(path.c_str());
}

// A file stands where the install folder should be: the folder cannot be
// made, each [Install] copy fails with its warning, the rest goes on.
TEST_F(HardeningFaults, InstallFolderThatIsAFileWarnsForEachEntry)
{
    std::string medium = driver::MakeMediumDir("faults-file");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string windows = driver::WindowsDirectory();
    std::string installDir = "C:\\pelmora-hardening-isfile";
    const std::string kNewIni = "\\pelmora-hardening-after.ini";
    Remove(installDir);
    DeleteFileA((windows + kNewIni).c_str());
    WriteFile(installDir, "a file, not a folder");
    WriteFile(medium + "\\setup.ini",
              "[init]\r\nTitle=E2E ファイル\r\n[Install]\r\na.txt\r\nb.txt\r\n"
              "[InstallWindows]\r\npelmora-hardening-after.ini\r\n");
    WriteFile(medium + "\\a.txt", "a");
    WriteFile(medium + "\\b.txt", "b");
    WriteFile(medium + kNewIni, "after");

    HWND settings = Open(medium, "E2E ファイル");
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(Confirm(settings, installDir), nullptr);
    std::vector<std::string> expected = {
        Warning(medium + "\\a.txt", installDir + "\\a.txt"),
        Warning(medium + "\\b.txt", installDir + "\\b.txt"),
    };
    EXPECT_EQ(expected, RunToCompletion());
    ExpectExitZero();
    EXPECT_EQ("a file, not a folder", Contents(installDir));
    EXPECT_EQ("after", Contents(windows + kNewIni));
    DeleteFileA(installDir.c_str());
    DeleteFileA((windows + kNewIni).c_str());
}

// ---- Many files -----------------------------------------------------------

class HardeningMany : public Run {};

TEST_F(HardeningMany, TwoThousandEntriesAllLandInOrder)
{
    const int kFiles = 2000;
    std::string medium = driver::MakeMediumDir("many");
    ASSERT_FALSE(medium.empty()) << driver::LastError();
    std::string installDir = "C:\\pelmora-hardening-many";
    Remove(installDir);
    std::string script = "[init]\r\nTitle=E2E 二千\r\n[Install]\r\n";
    std::vector<std::string> names;
    for (int i = 1; i <= kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "m%04d.dat", i);
        names.push_back(name);
        script += std::string(name) + "\r\n";
        WriteFile(medium + "\\" + name, "file " + std::to_string(i));
    }
    script += "[InstallWindows]\r\n[InstallSystem]\r\n";
    WriteFile(medium + "\\setup.ini", script);

    HWND settings = Open(medium, "E2E 二千");
    ASSERT_NE(settings, nullptr);
    HWND copy = Confirm(settings, installDir);
    ASSERT_NE(copy, nullptr);

    // Sample the source field until the completion box: the numbers seen
    // must only grow.
    std::vector<int> seen;
    HWND box = nullptr;
    DWORD start = GetTickCount();
    while ((box = driver::FindMessageBox(setup_.pid)) == nullptr) {
        ASSERT_LT(GetTickCount() - start, 180000u) << "no end after " << seen.size() << " samples";
        std::string field = driver::ControlText(copy, IDC_SOURCE_PATH);
        size_t at = field.rfind("\\m");
        if (at != std::string::npos) {
            int number = std::atoi(field.c_str() + at + 2);
            if (seen.empty() || seen.back() != number)
                seen.push_back(number);
        }
        Sleep(3);
    }
    EXPECT_EQ(kCompletion, driver::ReadMessageBox(box).text);
    // Complete before the box: every file is there already.
    EXPECT_EQ(names, Listing(installDir));
    ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    ExpectExitZero();

    EXPECT_GT(seen.size(), 50u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()) &&
                std::adjacent_find(seen.begin(), seen.end()) == seen.end())
        << "source field went backwards";
    if (!seen.empty()) {
        EXPECT_EQ(kFiles, seen.back()) << "the last step shown";
    }
    int wrong = 0;
    for (int i = 1; i <= kFiles; ++i)
        wrong += Contents(installDir + "\\" + names[i - 1]) != "file " + std::to_string(i);
    EXPECT_EQ(0, wrong);
    Remove(installDir);
}

// ---- Cancel at every point ----------------------------------------------------

class HardeningCancel : public Run {};

TEST_F(HardeningCancel, InTheSettingsDialogNothingIsTouched)
{
    std::string installDir = "C:\\pelmora-hardening-cancel0";
    Remove(installDir);
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    WriteFile(installDir + "\\a.txt", "old a");
    std::string medium = Medium("cancel-settings",
                                "[init]\r\nTitle=E2E 設定中止\r\n[Install]\r\na.txt\r\n");
    WriteFile(medium + "\\a.txt", "new a");
    HWND settings = Open(medium, "E2E 設定中止");
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(driver::SetControlText(settings, IDC_INSTALL_DIR, installDir));
    ASSERT_TRUE(driver::PressButton(settings, IDC_CANCEL_BUTTON)) << driver::LastError();
    ExpectExitZero();
    EXPECT_EQ("old a", Contents(installDir + "\\a.txt"));
    Remove(installDir);
}

// The first step waits 50 ms after the dialog opens; a cancel in that time
// leaves even the install folder uncreated. On a loaded machine the driver
// may see the dialog late, so the program is held still while the driver
// looks whether the first step has run and queues the cancel.
TEST_F(HardeningCancel, BeforeTheFirstStepNothingIsCreated)
{
    std::string parent = "C:\\pelmora-hardening-cancel1";
    std::string installDir = parent + "\\App";
    Remove(parent);
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
    WriteFile(parent + "\\keep.txt", "keep");
    std::string medium = Medium("cancel-first",
                                "[init]\r\nTitle=E2E 最初\r\n[Install]\r\na.txt\r\n"
                                "[StartUpSet]\r\nHardeningFirst|a.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");
    DeleteFileA((startUp_ + "\\HardeningFirst.lnk").c_str());

    HWND settings = Open(medium, "E2E 最初");
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(driver::SetControlText(settings, IDC_INSTALL_DIR, installDir));
    Tick(settings, IDC_START_UP_BOX);
    ASSERT_TRUE(driver::PressButton(settings, IDC_INSTALL_BUTTON)) << driver::LastError();
    HWND copy = nullptr;
    DWORD start = GetTickCount();
    while ((copy = driver::FindWindowOf(setup_.pid, driver::kDialogClass, kCopyCaption)) == nullptr) {
        ASSERT_LT(GetTickCount() - start, 20000u) << "no copy dialog";
        Sleep(0);
    }
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(copy, nullptr));
    ASSERT_NE(thread, nullptr);
    ASSERT_NE(SuspendThread(thread), DWORD(-1));
    bool early = !driver::DirectoryExists(installDir);
    bool pressed = driver::PressButton(copy, IDC_CANCEL_BUTTON);
    ResumeThread(thread);
    CloseHandle(thread);
    ASSERT_TRUE(pressed) << driver::LastError();
    ExpectExitZero();
    if (early) {
        EXPECT_FALSE(driver::DirectoryExists(installDir)) << "a step ran after the cancel";
    } else {
        std::printf("note: the first step ran before the driver saw the copy dialog\n");
    }
    EXPECT_EQ("keep", Contents(parent + "\\keep.txt"));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningFirst.lnk"));
    Remove(parent);
}

// A cancel while [InstallWindows] is being walked: [Install] is complete and
// stays, [InstallSystem] is never reached, no shortcut, no box.
TEST_F(HardeningCancel, BetweenStepsOfTheSecondSectionStopsThere)
{
    std::string system = driver::SystemDirectory();
    std::string installDir = "C:\\pelmora-hardening-cancel2";
    std::string group = programs_ + "\\PelmoraHardeningMid";
    const std::string kLateDll = "\\pelmora-hardening-late.dll";
    Remove(installDir);
    Remove(group);
    DeleteFileA((system + kLateDll).c_str());
    DeleteFileA((startUp_ + "\\HardeningMid.lnk").c_str());
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    WriteFile(installDir + "\\keep.txt", "keep");

    // Entries of [InstallWindows] without a source: they fail in silence and
    // put nothing into the Windows directory.
    std::string script = "[init]\r\nTitle=E2E 途中\r\nStartMenuGroup=PelmoraHardeningMid\r\n"
                         "[Install]\r\na.txt\r\nb.txt\r\nc.txt\r\n[InstallWindows]\r\n";
    for (int i = 1; i <= 200; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "pelmora-hardening-w%03d.dat\r\n", i);
        script += name;
    }
    script += "[InstallSystem]\r\npelmora-hardening-late.dll\r\n"
              "[StarMenuSet]\r\nMenu|a.txt\r\n[StartUpSet]\r\nHardeningMid|a.txt\r\n";
    std::string medium = Medium("cancel-between", script);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        WriteFile(medium + "\\" + name, name);
    WriteFile(medium + kLateDll, "late");

    HWND settings = Open(medium, "E2E 途中");
    ASSERT_NE(settings, nullptr);
    HWND copy = Confirm(settings, installDir, true, true);
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(WaitForSource(copy, "w010")) << driver::ToUtf8(driver::ControlText(copy, IDC_SOURCE_PATH));
    ASSERT_TRUE(driver::PressButton(copy, IDC_CANCEL_BUTTON)) << driver::LastError();
    ExpectExitZero();

    std::vector<std::string> expected = {"a.txt", "b.txt", "c.txt", "keep.txt"};
    EXPECT_EQ(expected, Listing(installDir));
    EXPECT_EQ("keep", Contents(installDir + "\\keep.txt"));
    EXPECT_FALSE(driver::FileExists(system + kLateDll));
    EXPECT_FALSE(driver::DirectoryExists(group));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningMid.lnk"));
    DeleteFileA((system + kLateDll).c_str());
    Remove(group);
    Remove(installDir);
}

// While a warning is up its owner, the copy dialog, takes no input: the
// cancel is pressed once the box has closed, and ends the install there.
TEST_F(HardeningCancel, AfterTheWarningBoxClosesNoFurtherStepCompletes)
{
    const int kFiles = 100;
    std::string installDir = "C:\\pelmora-hardening-cancel3";
    Remove(installDir);
    DeleteFileA((startUp_ + "\\HardeningWarned.lnk").c_str());
    std::string script =
        "[init]\r\nTitle=E2E 警告後\r\n[Install]\r\na.txt\r\nmissing.txt\r\n";
    for (int i = 1; i <= kFiles; ++i)
        script += "f" + std::to_string(i) + ".dat\r\n";
    script += "[StartUpSet]\r\nHardeningWarned|a.txt\r\n";
    std::string medium = Medium("cancel-warning", script);
    WriteFile(medium + "\\a.txt", "a");
    for (int i = 1; i <= kFiles; ++i)
        WriteFile(medium + "\\f" + std::to_string(i) + ".dat", "f");

    HWND settings = Open(medium, "E2E 警告後");
    ASSERT_NE(settings, nullptr);
    HWND copy = Confirm(settings, installDir, false, true);
    ASSERT_NE(copy, nullptr);
    HWND box = driver::WaitForMessageBox(setup_.pid);
    ASSERT_NE(box, nullptr) << driver::LastError();
    EXPECT_EQ(Warning(medium + "\\missing.txt", installDir + "\\missing.txt"),
              driver::ReadMessageBox(box).text);
    EXPECT_FALSE(IsWindowEnabled(copy)) << "the copy dialog takes input under its warning";
    ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    ASSERT_TRUE(driver::WaitForWindowGone(box)) << driver::LastError();
    ASSERT_TRUE(driver::PressButton(copy, IDC_CANCEL_BUTTON)) << driver::LastError();
    ExpectExitZero();

    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_LT(Listing(installDir).size(), size_t(kFiles) + 1) << "the install ran to its end";
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningWarned.lnk"));
    Remove(installDir);
}

// A cancel already on its way when the warning comes up reaches the dialog
// inside the box's own loop: the program still ends with 0, copies nothing
// more and writes no shortcut.
TEST_F(HardeningCancel, CancelQueuedUnderTheWarningBoxEndsCleanly)
{
    std::string installDir = "C:\\pelmora-hardening-cancel4";
    Remove(installDir);
    DeleteFileA((startUp_ + "\\HardeningQueued.lnk").c_str());
    std::string medium = Medium("cancel-queued",
                                "[init]\r\nTitle=E2E 警告中\r\n[Install]\r\na.txt\r\nmissing.txt\r\n"
                                "b.txt\r\n[StartUpSet]\r\nHardeningQueued|a.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");
    WriteFile(medium + "\\b.txt", "b");

    HWND settings = Open(medium, "E2E 警告中");
    ASSERT_NE(settings, nullptr);
    HWND copy = Confirm(settings, installDir, false, true);
    ASSERT_NE(copy, nullptr);
    HWND box = driver::WaitForMessageBox(setup_.pid);
    ASSERT_NE(box, nullptr) << driver::LastError();
    ASSERT_TRUE(driver::PressButton(copy, IDC_CANCEL_BUTTON)) << driver::LastError();
    // The box may go with the program; if it stays, the user closes it.
    if (!driver::WaitForWindowGone(box, 3000)) {
        EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    }
    ExpectExitZero();
    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_FALSE(driver::FileExists(installDir + "\\b.txt"));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningQueued.lnk"));
    Remove(installDir);
}

// The group-failure box belongs to the backdrop, so "中止(&S)" still answers
// under it; the StartUp pass that would follow must not run.
TEST_F(HardeningCancel, UnderTheGroupFailureBoxNoStartUpLinkFollows)
{
    std::string installDir = "C:\\pelmora-hardening-cancel5";
    std::string blocked = programs_ + "\\PelmoraHardeningBlocked";
    Remove(installDir);
    Remove(blocked);
    DeleteFileA((startUp_ + "\\HardeningStray.lnk").c_str());
    WriteFile(blocked, "not a folder");
    std::string medium = Medium("cancel-group",
                                "[init]\r\nTitle=E2E 群\r\nStartMenuGroup=PelmoraHardeningBlocked\r\n"
                                "[Install]\r\na.txt\r\n[StarMenuSet]\r\nMenu|a.txt\r\n"
                                "[StartUpSet]\r\nHardeningStray|a.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");

    HWND settings = Open(medium, "E2E 群");
    ASSERT_NE(settings, nullptr);
    HWND copy = Confirm(settings, installDir, true, true);
    ASSERT_NE(copy, nullptr);
    HWND box = driver::WaitForMessageBox(setup_.pid);
    ASSERT_NE(box, nullptr) << driver::LastError();
    EXPECT_EQ(kGroupFailure, driver::ReadMessageBox(box).text);
    ASSERT_TRUE(driver::PressButton(copy, IDC_CANCEL_BUTTON)) << driver::LastError();
    if (!driver::WaitForWindowGone(box, 3000)) {
        EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    }
    // No completion box after the cancel.
    DWORD start = GetTickCount();
    while (driver::IsRunning(setup_) && GetTickCount() - start < 5000) {
        HWND later = driver::FindMessageBox(setup_.pid);
        if (later != nullptr && later != box) {
            ADD_FAILURE() << "box after the cancel: "
                          << driver::ToUtf8(driver::ReadMessageBox(later).text);
            driver::PressMessageBoxOk(later);
        }
        Sleep(20);
    }
    ExpectExitZero();
    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_EQ("not a folder", Contents(blocked));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningStray.lnk"));
    DeleteFileA(blocked.c_str());
    DeleteFileA((startUp_ + "\\HardeningStray.lnk").c_str());
    Remove(installDir);
}

// "終了(&E)" under the completion box: what was installed stays, the
// program ends with 0.
TEST_F(HardeningCancel, UnderTheCompletionBoxTheInstallStays)
{
    std::string installDir = "C:\\pelmora-hardening-cancel6";
    Remove(installDir);
    DeleteFileA((startUp_ + "\\HardeningDone.lnk").c_str());
    std::string medium = Medium("cancel-completion",
                                "[init]\r\nTitle=E2E 完了中\r\n[Install]\r\na.txt\r\n"
                                "[StartUpSet]\r\nHardeningDone|a.txt\r\n");
    WriteFile(medium + "\\a.txt", "a");

    HWND settings = Open(medium, "E2E 完了中");
    ASSERT_NE(settings, nullptr);
    HWND copy = Confirm(settings, installDir, false, true);
    ASSERT_NE(copy, nullptr);
    HWND box = driver::WaitForMessageBox(setup_.pid);
    ASSERT_NE(box, nullptr) << driver::LastError();
    EXPECT_EQ(kCompletion, driver::ReadMessageBox(box).text);
    EXPECT_EQ(kFinishButton, driver::ControlText(copy, IDC_CANCEL_BUTTON));
    ASSERT_TRUE(driver::PressButton(copy, IDC_CANCEL_BUTTON)) << driver::LastError();
    if (!driver::WaitForWindowGone(box, 3000)) {
        EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    }
    ExpectExitZero();
    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_TRUE(driver::FileExists(startUp_ + "\\HardeningDone.lnk"));
    DeleteFileA((startUp_ + "\\HardeningDone.lnk").c_str());
    Remove(installDir);
}

}  // namespace
