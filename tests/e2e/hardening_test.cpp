// Faults and bad input, end to end: scripts that are empty, garbage, huge,
// cut by a NUL, prefixed by a byte-order mark, with odd line ends or overlong
// lines; paths that pass 259 characters; destinations that refuse the copy;
// cancel at every point where the user can reach it; and a long list of
// files. Every run must end with 0, show what the script reader gives, warn
// only where [Install] fails, and never touch a file it was not asked to.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "scenario.h"

namespace {

using namespace scenario;

const size_t kPathBound = 259;

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

class Run : public Scenario {
protected:
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

    // Runs to the end: one warning for each entry, and the copy dialog's
    // fields under it, with the paths cut at the bound.
    void ExpectWarnedPastTheLimit(const std::string& medium, const std::string& installDir,
                                  const std::vector<std::string>& entries)
    {
        std::vector<std::string> warnings = RunToCompletion();
        std::vector<std::string> expected;
        std::vector<std::vector<std::string>> fields;
        for (const std::string& entry : entries) {
            expected.push_back(Warning(medium + "\\" + entry, installDir + "\\" + entry));
            fields.push_back({(medium + "\\" + entry).substr(0, kPathBound),
                              (installDir + "\\" + entry).substr(0, kPathBound)});
        }
        EXPECT_EQ(expected, warnings);
        for (const std::string& warning : warnings)
            EXPECT_LE(warning.size(), kPathBound);
        EXPECT_EQ(fields, fieldsAtWarnings_);
        ExpectExitZero();
    }
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
        HWND settings = Open(Medium("bad-script", test.bytes), test.caption, 60000);
        ASSERT_NE(settings, nullptr);
        for (size_t i = 0; i < test.lines.size(); ++i)
            EXPECT_EQ(test.lines[i], driver::ControlText(settings, lineIds[i])) << "msg line " << i;
        if (test.checkEdit) {
            EXPECT_EQ(test.edit, driver::ControlText(settings, IDC_INSTALL_DIR));
            EXPECT_EQ(!test.edit.empty(), driver::IsControlEnabled(settings, IDC_INSTALL_DIR));
        }
        EXPECT_EQ(nullptr, driver::FindMessageBox(setup_.pid));
        PressAndExpectExitZero(settings);
    }
}

// ---- Faults at the destination and paths at the limit ------------------------

class HardeningFaults : public Run {};

// SourceDir + "\" + entry passes 259 characters: the cut path would name
// another file (here a decoy that does exist), so nothing is copied and the
// warning says so; a path of exactly 259 still copies.
TEST_F(HardeningFaults, SourcePathsPastTheLimitAreWarnedAboutAndNotCopied)
{
    std::string installDir = "C:\\pelmora-hardening-src";
    Clean({installDir});
    std::string base = driver::MakeMediumDir("limit-source");
    ASSERT_FALSE(base.empty()) << driver::LastError();
    const size_t kSourceDirLength = 230;
    std::string medium = DeepFolder(base, kSourceDirLength);
    ASSERT_EQ(kSourceDirLength, medium.size());

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

    ASSERT_NE(StartInstall(medium, "E2E 長い元", installDir), nullptr);
    ExpectWarnedPastTheLimit(medium, installDir, {over, distant});

    std::vector<std::string> names = {exact, "first.txt", "last.txt"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, Listing(installDir));
    EXPECT_EQ("exact", Contents(installDir + "\\" + exact));
    EXPECT_EQ("last", Contents(installDir + "\\last.txt"));
    Remove(base);
}

// InstallDir + "\" + entry passes 259 characters: an unrelated file at the
// cut name stays as it was, nothing new appears there, the install goes on.
// The same holds for a StartUp link whose path would pass the limit.
TEST_F(HardeningFaults, DestinationPathsPastTheLimitLeaveTheCutNameAlone)
{
    const size_t kInstallDirLength = 230;
    std::string top = "C:\\pelmora-hardening-dst";
    Clean({top, startUp_ + "\\HardeningLimitOk.lnk"});
    ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
    std::string installDir = DeepFolder(top, kInstallDirLength);
    ASSERT_EQ(kInstallDirLength, installDir.size());

    std::string exact(kPathBound - kInstallDirLength - 1, 'e');  // destination of 259
    std::string over(kPathBound - kInstallDirLength, 'o');       // destination of 260
    std::string distant(60, 'f');
    std::string cutDistant = distant.substr(0, exact.size());
    std::string longLink(230, 'L');
    Files files;
    for (const std::string& name : {std::string("first.txt"), exact, over, distant,
                                    std::string("last.txt")})
        files.push_back({name, "new " + name.substr(0, 8)});
    std::string medium =
        Medium("limit-destination",
               "[init]\r\nTitle=E2E 長い先\r\n[Install]\r\nfirst.txt\r\n" + exact + "\r\n" + over +
                   "\r\n" + distant + "\r\nlast.txt\r\n[StartUpSet]\r\n" + longLink +
                   "|first.txt\r\nHardeningLimitOk|first.txt\r\n",
               files);
    WriteFile(installDir + "\\" + cutDistant, "unrelated");
    std::vector<std::string> startUpBefore = Listing(startUp_);

    ASSERT_NE(StartInstall(medium, "E2E 長い先", installDir, false, true), nullptr);
    ExpectWarnedPastTheLimit(medium, installDir, {over, distant});

    std::vector<std::string> names = {exact, cutDistant, "first.txt", "last.txt"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, Listing(installDir));
    EXPECT_EQ("unrelated", Contents(installDir + "\\" + cutDistant));
    EXPECT_EQ("new " + exact.substr(0, 8), Contents(installDir + "\\" + exact));
    EXPECT_EQ("new last.txt", Contents(installDir + "\\last.txt"));
    startUpBefore.push_back("HardeningLimitOk.lnk");
    std::sort(startUpBefore.begin(), startUpBefore.end());
    EXPECT_EQ(startUpBefore, Listing(startUp_));
}

// A read-only install folder (Windows does not stop files being made in
// one), a read-only file and a file held open in it, an entry that names a
// folder of the medium, and files the Windows and system directories
// already hold.
TEST_F(HardeningFaults, RefusedDestinationsWarnOnlyForInstall)
{
    std::string installDir = "C:\\pelmora-hardening-faults";
    const std::string kKeptIni = "\\pelmora-hardening-kept.ini";
    const std::string kNewIni = "\\pelmora-hardening-new.ini";
    const std::string kKeptDll = "\\pelmora-hardening-kept.dll";
    const std::string kMissingDll = "\\pelmora-hardening-missing.dll";
    Clean({installDir, windows_ + kKeptIni, windows_ + kNewIni, system_ + kKeptDll,
           system_ + kMissingDll});
    std::string medium = Medium(
        "faults",
        "[init]\r\nTitle=E2E 拒否\r\n"
        "[Install]\r\na.txt\r\nlocked.txt\r\nbusy.txt\r\nsub\r\nb.txt\r\n"
        "[InstallWindows]\r\npelmora-hardening-kept.ini\r\nsub\r\npelmora-hardening-new.ini\r\n"
        "[InstallSystem]\r\npelmora-hardening-kept.dll\r\npelmora-hardening-missing.dll\r\n"
        "sub\r\n",
        {{"a.txt", "new a"}, {"b.txt", "new b"}, {"locked.txt", "new locked"},
         {"busy.txt", "new busy"}, {kKeptIni.substr(1), "medium ini"},
         {kNewIni.substr(1), "new ini"}, {kKeptDll.substr(1), "medium dll"}});
    ASSERT_TRUE(CreateDirectoryA((medium + "\\sub").c_str(), nullptr));
    WriteFile(medium + "\\sub\\inner.txt", "inner");

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
    WriteFile(windows_ + kKeptIni, "kept ini");
    WriteFile(system_ + kKeptDll, "kept dll");

    ASSERT_NE(StartInstall(medium, "E2E 拒否", installDir), nullptr);
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
    EXPECT_EQ("kept ini", Contents(windows_ + kKeptIni));
    EXPECT_EQ("new ini", Contents(windows_ + kNewIni));
    EXPECT_EQ("kept dll", Contents(system_ + kKeptDll));
    EXPECT_FALSE(driver::FileExists(system_ + kMissingDll));
    EXPECT_FALSE(driver::DirectoryExists(windows_ + "\\sub"));
}

// A file stands where the install folder should be: the folder cannot be
// made, each [Install] copy fails with its warning, the rest goes on.
TEST_F(HardeningFaults, InstallFolderThatIsAFileWarnsForEachEntry)
{
    std::string installDir = "C:\\pelmora-hardening-isfile";
    const std::string kNewIni = "\\pelmora-hardening-after.ini";
    Clean({installDir, windows_ + kNewIni});
    WriteFile(installDir, "a file, not a folder");
    std::string medium = Medium("faults-file",
                                "[init]\r\nTitle=E2E ファイル\r\n[Install]\r\na.txt\r\nb.txt\r\n"
                                "[InstallWindows]\r\npelmora-hardening-after.ini\r\n",
                                {{"a.txt", "a"}, {"b.txt", "b"}, {kNewIni.substr(1), "after"}});

    ASSERT_NE(StartInstall(medium, "E2E ファイル", installDir), nullptr);
    std::vector<std::string> expected = {
        Warning(medium + "\\a.txt", installDir + "\\a.txt"),
        Warning(medium + "\\b.txt", installDir + "\\b.txt"),
    };
    EXPECT_EQ(expected, RunToCompletion());
    ExpectExitZero();
    EXPECT_EQ("a file, not a folder", Contents(installDir));
    EXPECT_EQ("after", Contents(windows_ + kNewIni));
}

// ---- Many files -----------------------------------------------------------

class HardeningMany : public Run {};

TEST_F(HardeningMany, TwoThousandEntriesAllLandInOrder)
{
    const int kFiles = 2000;
    std::string installDir = "C:\\pelmora-hardening-many";
    Clean({installDir});
    std::string script = "[init]\r\nTitle=E2E 二千\r\n[Install]\r\n";
    std::vector<std::string> names;
    Files files;
    for (int i = 1; i <= kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "m%04d.dat", i);
        names.push_back(name);
        script += std::string(name) + "\r\n";
        files.push_back({name, "file " + std::to_string(i)});
    }
    script += "[InstallWindows]\r\n[InstallSystem]\r\n";
    HWND copy = StartInstall(Medium("many", script, files), "E2E 二千", installDir);
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
}

// ---- Cancel at every point ----------------------------------------------------

class HardeningCancel : public Run {};

TEST_F(HardeningCancel, InTheSettingsDialogNothingIsTouched)
{
    std::string installDir = "C:\\pelmora-hardening-cancel0";
    Clean({installDir});
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    WriteFile(installDir + "\\a.txt", "old a");
    HWND settings = Open(Medium("cancel-settings",
                                "[init]\r\nTitle=E2E 設定中止\r\n[Install]\r\na.txt\r\n",
                                {{"a.txt", "new a"}}),
                         "E2E 設定中止");
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(driver::SetControlText(settings, IDC_INSTALL_DIR, installDir));
    PressAndExpectExitZero(settings);
    EXPECT_EQ("old a", Contents(installDir + "\\a.txt"));
}

// The first step waits 50 ms after the dialog opens; a cancel in that time
// leaves even the install folder uncreated. On a loaded machine the driver
// may see the dialog late, so the program is held still while the driver
// looks whether the first step has run and queues the cancel.
TEST_F(HardeningCancel, BeforeTheFirstStepNothingIsCreated)
{
    std::string parent = "C:\\pelmora-hardening-cancel1";
    std::string installDir = parent + "\\App";
    Clean({parent, startUp_ + "\\HardeningFirst.lnk"});
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
    WriteFile(parent + "\\keep.txt", "keep");
    HWND settings = Open(Medium("cancel-first",
                                "[init]\r\nTitle=E2E 最初\r\n[Install]\r\na.txt\r\n"
                                "[StartUpSet]\r\nHardeningFirst|a.txt\r\n",
                                {{"a.txt", "a"}}),
                         "E2E 最初");
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
}

// A cancel while [InstallWindows] is being walked: [Install] is complete and
// stays, [InstallSystem] is never reached, no shortcut, no box.
TEST_F(HardeningCancel, BetweenStepsOfTheSecondSectionStopsThere)
{
    std::string installDir = "C:\\pelmora-hardening-cancel2";
    std::string group = programs_ + "\\PelmoraHardeningMid";
    const std::string kLateDll = "\\pelmora-hardening-late.dll";
    Clean({installDir, group, system_ + kLateDll, startUp_ + "\\HardeningMid.lnk"});
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
    std::string medium = Medium("cancel-between", script,
                                {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c.txt", "c.txt"},
                                 {kLateDll.substr(1), "late"}});

    HWND copy = StartInstall(medium, "E2E 途中", installDir, true, true);
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(WaitForSource(copy, "w010")) << driver::ToUtf8(driver::ControlText(copy, IDC_SOURCE_PATH));
    PressAndExpectExitZero(copy);

    std::vector<std::string> expected = {"a.txt", "b.txt", "c.txt", "keep.txt"};
    EXPECT_EQ(expected, Listing(installDir));
    EXPECT_EQ("keep", Contents(installDir + "\\keep.txt"));
    EXPECT_FALSE(driver::FileExists(system_ + kLateDll));
    EXPECT_FALSE(driver::DirectoryExists(group));
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningMid.lnk"));
}

// While a warning is up its owner, the copy dialog, takes no input: the
// cancel is pressed once the box has closed, and ends the install there.
TEST_F(HardeningCancel, AfterTheWarningBoxClosesNoFurtherStepCompletes)
{
    const int kFiles = 100;
    std::string installDir = "C:\\pelmora-hardening-cancel3";
    Clean({installDir, startUp_ + "\\HardeningWarned.lnk"});
    std::string script = "[init]\r\nTitle=E2E 警告後\r\n[Install]\r\na.txt\r\nmissing.txt\r\n";
    Files files = {{"a.txt", "a"}};
    for (int i = 1; i <= kFiles; ++i) {
        script += "f" + std::to_string(i) + ".dat\r\n";
        files.push_back({"f" + std::to_string(i) + ".dat", "f"});
    }
    std::string medium = Medium("cancel-warning", script + "[StartUpSet]\r\nHardeningWarned|a.txt\r\n", files);

    HWND copy = StartInstall(medium, "E2E 警告後", installDir, false, true);
    ASSERT_NE(copy, nullptr);
    HWND box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Warning(medium + "\\missing.txt", installDir + "\\missing.txt"),
              driver::ReadMessageBox(box).text);
    EXPECT_FALSE(IsWindowEnabled(copy)) << "the copy dialog takes input under its warning";
    ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    ASSERT_TRUE(driver::WaitForWindowGone(box)) << driver::LastError();
    PressAndExpectExitZero(copy);

    EXPECT_EQ("a", Contents(installDir + "\\a.txt"));
    EXPECT_LT(Listing(installDir).size(), size_t(kFiles) + 1) << "the install ran to its end";
    EXPECT_FALSE(driver::FileExists(startUp_ + "\\HardeningWarned.lnk"));
}

// The cancel is pressed while a box is up: the one a cancel already on its
// way meets (a warning; the press reaches the dialog inside the box's own
// loop), the group failure (owned by the backdrop, so the button answers)
// and the completion ("終了(&E)"). The program ends with 0 and goes no
// further: no more copies, no StartUp link after the group, no later box;
// what was installed before stays.
TEST_F(HardeningCancel, UnderEachBoxTheRunEndsCleanly)
{
    struct Row {
        const char* name;
        std::string script;  // [Install] onwards
        bool startMenu;
        std::string box;     // its text; empty: the warning of missing.txt
        bool linkAfter;      // HardeningCancel.lnk written
    } rows[] = {
        {"warning", "a.txt\r\nmissing.txt\r\nb.txt\r\n", false, "", false},
        {"group failure", "a.txt\r\n[StarMenuSet]\r\nMenu|a.txt\r\n", true, kGroupFailure, false},
        {"completion", "a.txt\r\n", false, kCompletion, true},
    };
    std::string installDir = "C:\\pelmora-hardening-cancel4";
    std::string blocked = programs_ + "\\PelmoraHardeningBlocked";
    std::string link = startUp_ + "\\HardeningCancel.lnk";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Clean({installDir, blocked, link});
        WriteFile(blocked, "not a folder");
        std::string medium = Medium("cancel-under-box",
                                    "[init]\r\nTitle=E2E 箱\r\nStartMenuGroup=PelmoraHardeningBlocked\r\n"
                                    "[Install]\r\n" + row.script +
                                        "[StartUpSet]\r\nHardeningCancel|a.txt\r\n",
                                    {{"a.txt", "a"}, {"b.txt", "b"}});
        HWND copy = StartInstall(medium, "E2E 箱", installDir, row.startMenu, true);
        ASSERT_NE(copy, nullptr);
        HWND box = Box();
        ASSERT_NE(box, nullptr);
        std::string text = row.box.empty()
                               ? Warning(medium + "\\missing.txt", installDir + "\\missing.txt")
                               : row.box;
        EXPECT_EQ(text, driver::ReadMessageBox(box).text);
        if (row.linkAfter) {
            EXPECT_EQ(kFinishButton, driver::ControlText(copy, IDC_CANCEL_BUTTON));
        }
        ASSERT_TRUE(driver::PressButton(copy, IDC_CANCEL_BUTTON)) << driver::LastError();
        CloseIfStillUp(box);
        // No box after the cancel.
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
        EXPECT_FALSE(driver::FileExists(installDir + "\\b.txt"));
        EXPECT_EQ("not a folder", Contents(blocked));
        EXPECT_EQ(row.linkAfter, driver::FileExists(link));
    }
}

}  // namespace
