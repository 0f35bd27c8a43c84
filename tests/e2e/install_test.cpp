// Installs as a user meets them, one row each: the medium, what stands on
// disk before, the folder typed and the boxes ticked, where the user
// cancels; then every box read on the way and what stands on disk after.
// Paths take the %-names of Session::Expand. The order of steps, the flags
// and texts of each copy are the native install-sequence tests' business;
// here they are seen once, for real, and so is the copy dialog under each
// box (in the first row: at work under warnings, then finished).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "session.h"

// Rows leave their trailing fields to the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using driver::Cancel;
using driver::Entries;
using driver::kCannotCopy;
using driver::kCompletion;
using driver::kGroupFailure;

const char kUnchanged[] = "<unchanged>";
const std::string kFinished = std::string(driver::kProgramCaption) + " | 完了 | 終了(&E)";

struct Row {
    std::string name;
    std::string script;
    Entries medium;
    std::string typed;  // the install folder, %I
    const char* ticks;  // "M": Start Menu box, "U": StartUp box
    Entries before;
    std::vector<std::string> boxes;
    std::vector<std::pair<std::string, std::string>> after;  // path, Describe() or kUnchanged
    Cancel when = Cancel::kNever;
    std::string mark;
    std::string at;                  // the medium's folder, as Session::Medium takes it
    std::vector<std::string> views;  // the copy dialog under each box; empty: not checked
};

// The copy dialog at work, with these paths in its fields.
std::string Copying(const std::string& source, const std::string& destination)
{
    return std::string(driver::kCopyCaption) + " | コピー元： | " + source + " | コピー先： | " +
           destination + " | 中止(&S)";
}

// again: on what the row before left, nothing removed first. The walk goes
// to *seen where given.
void Play(driver::Session& session, const Row& row, bool again = false,
         driver::Walk* seen = nullptr)
{
    SCOPED_TRACE(row.name);
    ASSERT_NE("", session.Medium(row.name, row.script, row.medium, session.Expand(row.at)))
        << driver::LastError();
    session.installDir = session.Expand(row.typed);
    if (!again)
        session.Clean(session.installDir);
    std::vector<std::string> before;
    for (const auto& expected : row.after) {
        if (!again)
            session.Clean(session.Expand(expected.first));
        before.push_back(driver::Describe(session.Expand(expected.first)));
    }
    for (const driver::Entry& entry : row.before)
        session.Clean(session.Expand(entry.path));
    ASSERT_TRUE(session.Lay("", row.before)) << driver::LastError();
    bool ownExe = std::any_of(row.medium.begin(), row.medium.end(),
                              [](const driver::Entry& entry) { return entry.path == "setup.exe"; });
    HWND settings = session.Open(session.medium, nullptr, driver::kWaitMs,
                                 ownExe ? session.medium + "\\setup.exe" : "");
    ASSERT_NE(nullptr, settings) << driver::LastError();
    if (ownExe) {
        // A medium's own setup.exe: what the folder browser loads counts too.
        ASSERT_TRUE(driver::PressButton(settings, IDC_BROWSE_BUTTON)) << driver::LastError();
        HWND browser = driver::WaitForFolderBrowser(session.setup.pid);
        ASSERT_NE(nullptr, browser) << driver::LastError();
        ASSERT_TRUE(driver::PressButton(browser, IDCANCEL)) << driver::LastError();
        ASSERT_TRUE(driver::WaitForWindowGone(browser)) << driver::LastError();
    }

    driver::Walk mine;
    driver::Walk& walk = seen != nullptr ? *seen : mine;
    std::string ticks = row.ticks;
    ASSERT_TRUE(session.Install(settings, row.typed, ticks.find('M') != std::string::npos,
                                ticks.find('U') != std::string::npos, row.when,
                                session.Expand(row.mark), &walk))
        << driver::LastError();
    session.LetGo();
    EXPECT_EQ(0u, walk.exitCode);
    std::vector<std::string> boxes, views;
    // A warning belongs to the copy dialog, which takes no input under it;
    // the finish boxes belong to the backdrop, so the dialog's button works.
    std::string inputs;
    for (const std::string& box : row.boxes) {
        boxes.push_back(session.Expand(box));
        inputs += box == kCompletion || box == kGroupFailure ? '+' : '-';
    }
    EXPECT_EQ(boxes, walk.boxes);
    EXPECT_EQ(inputs, walk.inputs);
    for (const std::string& view : row.views)
        views.push_back(session.Expand(view));
    if (!views.empty()) {
        EXPECT_EQ(views, walk.views);
    }
    if (!walk.early) {
        std::printf("note: the first step ran before the cancel could come\n");
        return;
    }
    for (size_t i = 0; i < row.after.size(); ++i) {
        const auto& expected = row.after[i];
        EXPECT_EQ(expected.second == kUnchanged ? before[i] : session.Expand(expected.second),
                  driver::Describe(session.Expand(expected.first)))
            << driver::ToUtf8(expected.first);
    }
}

const std::string kKeptIni("kept\0ini\r\n", 10);
const std::string kKeptDll("kept\0dll\xFF", 9);

TEST(Install, EachRowShowsItsBoxesAndLeavesItsFiles)
{
    const Row rows[] = {
        // Three sections with files that are there and files that are not,
        // an entry under a folder the install folder lacks, an entry that
        // names a folder, and both kinds of shortcut.
        {"all sections",
         "[init]\r\nTitle=E2E 全部\r\nStartMenuGroup=Games\\Tools\r\n"
         "[Install]\r\napp.exe\r\nreadme.txt\r\nmissing.txt\r\ndata\\table.dat\r\nsub\r\n"
         "[InstallWindows]\r\npelmora-e2e-old.ini\r\nsub\r\npelmora-e2e-new.ini\r\n"
         "[InstallSystem]\r\npelmora-e2e-old.dll\r\npelmora-e2e-new.dll\r\npelmora-e2e-none.dll\r\n"
         "[StarMenuSet]\r\nReadme | readme.txt\r\nno bar here\r\nTool|app.exe\r\n"
         "[StartUpSet]\r\nAgent|\tapp.exe\r\n",
         {{"app.exe", "new app"}, {"readme.txt", "new readme"}, {"data\\table.dat", "table"},
          {"sub\\inner.txt", "inner"}, {"pelmora-e2e-old.ini", "medium ini"},
          {"pelmora-e2e-new.ini", "new ini"}, {"pelmora-e2e-old.dll", "medium dll"},
          {"pelmora-e2e-new.dll", "new dll"}},
         "C:\\pelmora-e2e-full\\App", "MU",
         {{"%I\\readme.txt", "old readme, longer than the new one"},
          {"%W\\pelmora-e2e-old.ini", kKeptIni}, {"%S\\pelmora-e2e-old.dll", kKeptDll}},
         {kCannotCopy + std::string("%M\\missing.txt -> %I\\missing.txt"),
          kCannotCopy + std::string("%M\\data\\table.dat -> %I\\data\\table.dat"),
          kCannotCopy + std::string("%M\\sub -> %I\\sub"), kCompletion},
         {{"C:\\pelmora-e2e-full", "<folder App>"},
          {"%I", "<folder app.exe readme.txt>"},
          {"%I\\app.exe", "new app"},
          {"%I\\readme.txt", "new readme"},
          {"%W\\pelmora-e2e-old.ini", kKeptIni},
          {"%W\\pelmora-e2e-new.ini", "new ini"},
          {"%W\\sub", "<missing>"},
          {"%S\\pelmora-e2e-old.dll", kKeptDll},
          {"%S\\pelmora-e2e-new.dll", "new dll"},
          {"%S\\pelmora-e2e-none.dll", "<missing>"},
          {"%P\\Games", "<folder Tools>"},
          {"%P\\Games\\Tools", "<folder Readme .lnk Tool.lnk>"},
          {"%P\\Games\\Tools\\Readme .lnk", "<link %I\\readme.txt in %I : readme.txt>"},
          {"%P\\Games\\Tools\\Tool.lnk", "<link %I\\app.exe in %I : app.exe>"},
          {"%U\\Agent.lnk", "<link %I\\app.exe in %I : app.exe>"}},
         Cancel::kNever, "", "",
         {Copying("%M\\missing.txt", "%I\\missing.txt"),
          Copying("%M\\data\\table.dat", "%I\\data\\table.dat"), Copying("%M\\sub", "%I\\sub"),
          kFinished}},
        {"neither box ticked",
         "[init]\r\nStartMenuGroup=PelmoraNone\r\n[Install]\r\na.txt\r\n"
         "[StarMenuSet]\r\nMenu|a.txt\r\n[StartUpSet]\r\nUp|a.txt\r\n",
         {{"a.txt", "a"}}, "C:\\pelmora-e2e-nolinks", "", {}, {kCompletion},
         {{"%I", "<folder a.txt>"}, {"%P", kUnchanged}, {"%U", kUnchanged}}},
        // A box checked by its default stays checked while disabled.
        {"empty shortcut sections",
         "[init]\r\nDefaultRegistStartMenu=1\r\nStartMenuGroup=pelmora-e2e-empty\r\n"
         "[Install]\r\na.txt\r\n[StarMenuSet]\r\n[StartUpSet]\r\n",
         {{"a.txt", "a"}}, "C:\\pelmora-e2e-empty", "", {}, {kCompletion},
         {{"%I", "<folder a.txt>"}, {"%P\\pelmora-e2e-empty", "<folder>"}, {"%U", kUnchanged}}},
        // Blanks before the entry and a final backslash are dropped.
        {"typed with blanks and a separator", "[init]\r\nCopyDir=Tools\r\n[Install]\r\na.txt\r\n",
         {{"a.txt", "a"}}, " \t%M\\chosen\\  ", "", {}, {kCompletion},
         {{"%M\\chosen", "<folder a.txt>"}, {"%DTools", "<missing>"}}},
        // Every source path then holds a doubled separator.
        {"medium at a drive root",
         "[Install]\r\npelmora-root-a.txt\r\npelmora-root-missing.txt\r\n",
         {{"pelmora-root-a.txt", "from the root"}}, "C:\\pelmora-e2e-root", "", {},
         {kCannotCopy + std::string("%M\\pelmora-root-missing.txt -> %I\\pelmora-root-missing.txt"),
          kCompletion},
         {{"%I", "<folder pelmora-root-a.txt>"}, {"%I\\pelmora-root-a.txt", "from the root"}},
         Cancel::kNever, "", "%D"},
        {"install folder that is a file",
         "[Install]\r\na.txt\r\nb.txt\r\n[InstallWindows]\r\npelmora-e2e-after.ini\r\n",
         {{"a.txt", "a"}, {"b.txt", "b"}, {"pelmora-e2e-after.ini", "after"}},
         "C:\\pelmora-e2e-isfile", "", {{"%I", "a file, not a folder"}},
         {kCannotCopy + std::string("%M\\a.txt -> %I\\a.txt"),
          kCannotCopy + std::string("%M\\b.txt -> %I\\b.txt"), kCompletion},
         {{"%I", "a file, not a folder"}, {"%W\\pelmora-e2e-after.ini", "after"}}},
        // Another hand's locks: a read-only file and one held open are
        // reported and kept; a read-only folder still takes new files.
        {"locked destinations", "[Install]\r\nlocked.txt\r\nbusy.txt\r\nnew.txt\r\n",
         {{"locked.txt", "from the medium"}, {"busy.txt", "from the medium"}, {"new.txt", "new"}},
         "C:\\pelmora-e2e-locked", "",
         {{"%I\\", "", FILE_ATTRIBUTE_READONLY},
          {"%I\\locked.txt", "the user's", FILE_ATTRIBUTE_READONLY},
          {"%I\\busy.txt", "the user's", driver::kHeldOpen}},
         {kCannotCopy + std::string("%M\\locked.txt -> %I\\locked.txt"),
          kCannotCopy + std::string("%M\\busy.txt -> %I\\busy.txt"), kCompletion},
         {{"%I", "<folder busy.txt locked.txt new.txt>"},
          {"%I\\locked.txt", "<read-only>the user's"},
          {"%I\\busy.txt", "the user's"},
          {"%I\\new.txt", "new"}}},
    };
    driver::Session session;
    for (const Row& row : rows)
        Play(session, row);
}

// A disc: its files and folder read-only, one file hidden too. The copies
// lose those marks, so the next version installs over them; the Windows
// and system folders keep their first copy.
TEST(Install, ReadOnlyDiscInstalledTwiceOverwritesItsOwnCopies)
{
    driver::Session session;
    const DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
    const std::string script = "[Install]\r\na.txt\r\nb.txt\r\n[InstallWindows]\r\n"
                               "pelmora-e2e-ro.ini\r\n[InstallSystem]\r\npelmora-e2e-ro.dll\r\n";
    for (std::string version : {"1.0", "1.1"}) {
        Row row = {"disc",
                   script,
                   {{"setup.ini", script, kReadOnly},
                    {"a.txt", "a " + version, kReadOnly | FILE_ATTRIBUTE_HIDDEN},
                    {"b.txt", "b " + version, kReadOnly},
                    {"pelmora-e2e-ro.ini", "ini " + version, kReadOnly},
                    {"pelmora-e2e-ro.dll", "dll " + version, kReadOnly},
                    {"", "", kReadOnly}},
                   "C:\\pelmora-e2e-ro", "", {}, {kCompletion},
                   {{"%I", "<folder a.txt b.txt>"},
                    {"%I\\a.txt", "a " + version},
                    {"%I\\b.txt", "b " + version},
                    {"%W\\pelmora-e2e-ro.ini", "ini 1.0"},
                    {"%S\\pelmora-e2e-ro.dll", "dll 1.0"}}};
        Play(session, row, version != "1.0");
    }
}

// The cancel at every point the user can reach it: nothing after it is
// done, and what came before it stays.
TEST(Install, CancelStopsWhereItComes)
{
    std::string windowsEntries;
    for (int i = 1; i <= 200; ++i)
        windowsEntries += "pelmora-e2e-w" + std::to_string(1000 + i).substr(1) + ".dat\r\n";
    std::string many;
    Entries manyFiles = {{"a.txt", "a"}};
    for (int i = 1; i <= 100; ++i) {
        many += "f" + std::to_string(i) + ".dat\r\n";
        manyFiles.push_back({"f" + std::to_string(i) + ".dat", "f"});
    }
    const std::string underBox = "[init]\r\nStartMenuGroup=pelmora-e2e-blocked\r\n[Install]\r\n";
    const std::string link = "[StartUpSet]\r\npelmora-e2e-cancel|a.txt\r\n";
    const Entries two = {{"a.txt", "a"}, {"b.txt", "b"}};
    const Entries blocked = {{"%P\\pelmora-e2e-blocked", "not a folder"}};
    const std::string warning = kCannotCopy + std::string("%M\\missing.txt -> %I\\missing.txt");
    const std::vector<std::pair<std::string, std::string>> settingsKept = {
        {"%I", "<folder a.txt>"}, {"%I\\a.txt", "old a"}};
    const std::vector<std::pair<std::string, std::string>> firstOnly = {
        {"%I\\a.txt", "a"}, {"%I\\b.txt", "<missing>"},
        {"%P\\pelmora-e2e-blocked", "not a folder"}, {"%U\\pelmora-e2e-cancel.lnk", "<missing>"}};
    const std::string settingsScript = "[init]\r\nCopyDir=pelmora-e2e-cancel\r\n[Install]\r\na.txt\r\n";
    const Row rows[] = {
        {"Esc in the settings dialog", settingsScript, {{"a.txt", "new a"}}, "C:\\pelmora-e2e-cancel",
         "", {{"%I\\a.txt", "old a"}}, {}, settingsKept, Cancel::kEscape},
        {"its close box", settingsScript, {{"a.txt", "new a"}}, "C:\\pelmora-e2e-cancel", "",
         {{"%I\\a.txt", "old a"}}, {}, settingsKept, Cancel::kCloseBox},
        // The first step comes 50 ms after the dialog opens.
        {"before the first step", "[Install]\r\na.txt\r\n" + link, two,
         "C:\\pelmora-e2e-cancel\\App", "U", {{"C:\\pelmora-e2e-cancel\\keep.txt", "keep"}}, {},
         {{"C:\\pelmora-e2e-cancel", "<folder keep.txt>"}, {"%U\\pelmora-e2e-cancel.lnk", "<missing>"}},
         Cancel::kBeforeFirstStep, "%I"},
        // Entries of [InstallWindows] without a source fail in silence.
        {"between steps of the second section",
         "[init]\r\nStartMenuGroup=pelmora-e2e-mid\r\n[Install]\r\na.txt\r\nb.txt\r\nc.txt\r\n"
         "[InstallWindows]\r\n" + windowsEntries + "[InstallSystem]\r\npelmora-e2e-late.dll\r\n"
         "[StarMenuSet]\r\nMenu|a.txt\r\n" + link,
         {{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}, {"pelmora-e2e-late.dll", "late"}},
         "C:\\pelmora-e2e-cancel", "MU", {{"%I\\keep.txt", "keep"}}, {},
         {{"%I", "<folder a.txt b.txt c.txt keep.txt>"}, {"%I\\c.txt", "c"},
          {"%S\\pelmora-e2e-late.dll", "<missing>"}, {"%P\\pelmora-e2e-mid", "<missing>"},
          {"%U\\pelmora-e2e-cancel.lnk", "<missing>"}},
         Cancel::kWhenShown, "w010"},
        {"once the warning is closed", "[Install]\r\na.txt\r\nmissing.txt\r\n" + many + link,
         manyFiles, "C:\\pelmora-e2e-cancel", "U", {}, {warning},
         {{"%I\\a.txt", "a"}, {"%I\\f100.dat", "<missing>"}, {"%U\\pelmora-e2e-cancel.lnk", "<missing>"}},
         Cancel::kAfterFirstBox},
        // The press reaches the dialog inside the warning's own loop.
        {"under the warning", underBox + "a.txt\r\nmissing.txt\r\nb.txt\r\n" + link, two,
         "C:\\pelmora-e2e-cancel", "U", blocked, {warning}, firstOnly, Cancel::kUnderBox, warning},
        {"under the group failure",
         underBox + "a.txt\r\n[StarMenuSet]\r\nMenu|a.txt\r\n" + link, two,
         "C:\\pelmora-e2e-cancel", "MU", blocked, {kGroupFailure}, firstOnly, Cancel::kUnderBox,
         kGroupFailure},
        {"under the completion", underBox + "a.txt\r\n" + link, two, "C:\\pelmora-e2e-cancel", "U",
         blocked, {kCompletion},
         {{"%I\\a.txt", "a"}, {"%U\\pelmora-e2e-cancel.lnk", "<link %I\\a.txt in %I : a.txt>"}},
         Cancel::kUnderBox, kCompletion},
    };
    driver::Session session;
    for (const Row& row : rows)
        Play(session, row);
}

// Names Windows would look for beside the program before the system
// directory, and that the shell, COM and the common controls load. Left
// out: version.dll, which Wine's own user32 imports, so that Wine loads a
// planted one before the first instruction of any program.
const char* const kPlantedNames[] = {
    "comctl32", "uxtheme", "dwmapi", "cryptbase", "propsys", "apphelp", "userenv", "oleacc",
    "clbcatq", "ntmarta", "profapi", "setupapi", "sspicli", "cryptsp", "rsaenh", "shfolder",
};

// Wine takes what it tells a program of that name from the registry (a
// changed WINEDLLOVERRIDES does not reach a program started from within
// Wine): which DLLs to prefer, and which Windows version to report.
// What Wine tells setup.exe, for one scenario: the whole key goes after it.
struct SetupAppDefaults {
    const std::string key = "Software\\Wine\\AppDefaults\\setup.exe";
    SetupAppDefaults(const char* version, bool nativeFirst)
    {
        if (version != nullptr)
            RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version", REG_SZ, version,
                            static_cast<DWORD>(std::strlen(version) + 1));
        for (const char* name : kPlantedNames)
            if (nativeFirst)
                RegSetKeyValueA(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str(), name, REG_SZ,
                                "native,builtin", sizeof "native,builtin");
    }
    ~SetupAppDefaults() { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }
};

// A medium with its own setup.exe, one file and a shortcut in each folder,
// both boxes ticked.
Row ShortcutRow(const std::string& name, const std::string& exe)
{
    std::string group = "pelmora-e2e-" + name;
    return {name,
            "[init]\r\nStartMenuGroup=" + group + "\r\n[Install]\r\napp.exe\r\n"
            "[StarMenuSet]\r\nApp|app.exe\r\n[StartUpSet]\r\n" + group + "|app.exe\r\n",
            {{"setup.exe", exe}, {"app.exe", "app"}}, "C:\\" + group, "MU", {},
            {kCompletion},
            {{"%I", "<folder app.exe>"},
             {"%P\\" + group + "\\App.lnk", "<link %I\\app.exe in %I : app.exe>"},
             {"%P\\" + group, "<folder App.lnk>"},
             {"%U\\" + group + ".lnk", "<link %I\\app.exe in %I : app.exe>"}}};
}

// DLLs planted beside the medium's own setup.exe: each leaves a mark beside
// itself when anything loads it (planted_dll.c). With Wine reporting Vista,
// setup.exe keeps them out without SetDefaultDllDirectories.
TEST(Install, PlantedDllsBesideSetupAreNeverLoaded)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe, dll, folder = self;
    folder.erase(folder.rfind('\\'));
    ASSERT_TRUE(driver::ReadFileBytes(driver::SetupExePath(), &exe) &&
                driver::ReadFileBytes(folder + "\\planted_dll.dll", &dll))
        << driver::LastError();
    for (const char* version : {static_cast<const char*>(nullptr), "vista"}) {
        SCOPED_TRACE(version != nullptr ? version : "as Wine is");
        Row row = ShortcutRow(version != nullptr ? "planted-vista" : "planted", exe);
        for (const char* name : kPlantedNames)
            row.medium.push_back({std::string(name) + ".dll", dll});
        driver::Session session;
        SetupAppDefaults defaults(version, true);
        Play(session, row);
        EXPECT_EQ(std::string::npos, driver::Describe(session.medium).find(".loaded"))
            << "setup.exe loaded a planted DLL: " << driver::Describe(session.medium);
    }
}

// The shipped build as each generation of Windows, as far as Wine can play
// it: what GetVersion says, and what follows from it.
TEST(Install, EachReportedWindowsVersionInstalls)
{
#ifdef _WIN64
    GTEST_SKIP() << "the shipped 32-bit build only";
#endif
    std::string exe;
    ASSERT_TRUE(driver::ReadFileBytes(driver::SetupExePath(), &exe)) << driver::LastError();
    for (const char* version : {"win95", "nt40", "winxp", "win7", "win10"}) {
        SCOPED_TRACE(version);
        driver::Session session;
        SetupAppDefaults defaults(version, false);
        Play(session, ShortcutRow(std::string("as-") + version, exe));
    }
}

}  // namespace
