// The checker's verdicts on scripts held in memory, against a fake medium.
// Narrow literals here are Shift-JIS, as in a real setup.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "check.h"

namespace {

// Windows drops trailing blanks and dots and ignores ASCII case.
std::string Fold(std::string name)
{
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return name;
}

// Files by name, looked up without ASCII case as Windows does.
class FakeMedium : public Medium {
public:
    FakeMedium(std::initializer_list<std::pair<const char*, unsigned long long>> files,
               std::initializer_list<const char*> folders = {})
    {
        for (const auto& file : files)
            sizes_[Fold(file.first)] = file.second;
        for (const char* folder : folders)
            folders_.insert(Fold(folder));
    }
    FileState Probe(const std::string& relative) override
    {
        FileState state;
        std::string key = Fold(relative);
        if (folders_.count(key)) {
            state.found = state.folder = true;
        } else if (sizes_.count(key)) {
            state.found = true;
            state.size = sizes_[key];
        }
        return state;
    }
    bool Read(const std::string&, size_t, std::string*) override { return false; }

private:
    std::map<std::string, unsigned long long> sizes_;
    std::set<std::string> folders_;
};

// "severity code line" for each finding, sorted.
std::vector<std::string> Findings(const Report& report)
{
    std::vector<std::string> found;
    for (const Finding& f : report.findings)
        found.push_back(std::string(f.severity == kError ? "error " : "warning ") + f.code + " " +
                        std::to_string(f.line));
    std::sort(found.begin(), found.end());
    return found;
}

Report Check(const std::string& script, std::initializer_list<std::pair<const char*, unsigned long long>> files = {})
{
    FakeMedium medium(files);
    return CheckMedium(script, medium);
}

struct FindingRow {
    const char* what;
    std::string script;
    std::vector<std::string> expected;
};

TEST(CheckFindings, EachTrapIsNamedOnItsLine)
{
    const FindingRow rows[] = {
        {"clean minimal medium", "[Install]\na.exe\n", {}},
        {"headers written loosely still open", "[ INSTALL ]\na.exe\n[init] text\nTitle=x\n", {}},
        {"digits after a header name", "[Install2]\na.exe\n", {"warning header-suffix 1"}},
        {"key line before any header", "Title=x\n[Install]\na.exe\n", {"warning before-header 1"}},
        {"comment and blank lines before a header are fine", "; c\n\n  \t\n[Install]\na.exe\n", {}},
        {"empty first value hides the second",
         "[init]\nTitle=\nTitle=X\n[Install]\na.exe\n", {"warning repeated-key 3"}},
        {"no '=' is passed over", "[init]\nTitle\nTitle=X\n[Install]\na.exe\n", {"warning no-equals 2"}},
        {"a key split by a blank is another key", "[init]\nCopy Dir=X\n[Install]\na.exe\n",
         {"warning unknown-key 2"}},
        {"msgb is no msga", "[init]\nmsgh=x\n[Install]\na.exe\n", {"warning unknown-key 2"}},
        {"leading blank of a name value", "[init]\nImg= setup.bmp\n[Install]\na.exe\n",
         {"warning leading-blank 2", "warning missing-bitmap 2"}},
        {"leading blank of a text line is layout", "[init]\nmsga=  indented\n[Install]\na.exe\n", {}},
        {"proposal with a final backslash", "[init]\nCopyDir=Tools\\\n[Install]\na.exe\n",
         {"warning proposal-changed 2"}},
        {"proposal with two backslashes", "[init]\nCopyDir=A\\ \\B\n[Install]\na.exe\n",
         {"error proposal-refused 2"}},
        {"proposal ending in a character with a 0x5C byte", "[init]\nCopyDir=ソ\n[Install]\na.exe\n",
         {"warning proposal-changed 2", "warning trail-backslash 2"}},
        {"proposal naming a drive", "[init]\nCopyDir=D:\\Apps\n[Install]\na.exe\n",
         {"error proposal-colon 2"}},
        {"checked box over an empty list", "[init]\nDefaultRegistStartMenu=1\n[Install]\na.exe\n",
         {"warning checked-empty-box 2"}},
        {"StartUp box over an empty list is harmless", "[init]\nDefaultRegistStartUp=1\n[Install]\na.exe\n", {}},
        {"misspelt Start Menu section", "[Install]\na.exe\n[StartMenuSet]\nA|a.exe\n",
         {"error misspelt-section 3"}},
        {"near miss of a section", "[Install]\na.exe\n[InstalSystem]\nb.dll\n", {"error misspelt-section 3"}},
        {"a section of the vendor's own", "[Install]\na.exe\n[Notes]\nfree text\n",
         {"warning unknown-section 3"}},
        {"unclosed header of an empty part", "[Install]\na.exe\n[InstallWindows\n", {"warning unclosed-header 3"}},
        {"unclosed header with lines under it", "[Install]\na.exe\n[InstallWindows\nb.ini\n",
         {"error unclosed-header 3"}},
        {"subfolder in the Windows directory", "[Install]\na.exe\n[InstallSystem]\ndrivers\\b.sys\n",
         {"error missing-source 4", "warning subfolder 4"}},
        {"blanks at the end of a name", "[Install]\na.exe  \n", {"warning trailing-blank 2"}},
        {"shortcut to a file installed with other case", "[Install]\na.exe\n[StartUpSet]\nA|A.EXE\n", {}},
        {"shortcut without a name", "[Install]\na.exe\n[StartUpSet]\n|a.exe\n", {"warning empty-name 4"}},
        {"shortcut name with a separator", "[Install]\na.exe\n[StartUpSet]\nX\\Y|a.exe\n", {"error link-name 4"}},
        {"shortcut that points at nothing", "[Install]\na.exe\n[StartUpSet]\nA|\n",
         {"error target-not-installed 4"}},
        {"shortcuts with an empty [Install]", "[StartUpSet]\nA|a.exe\n", {"error target-not-installed 2"}},
        {"Shift-JIS with 0x7C split", "[Install]\na.exe\n[StartUpSet]\nポ|a.exe\n",
         {"error target-not-installed 4", "error trail-bar 4"}},
        {"Shift-JIS with 0x5C in a file name is no folder", "[Install]\nソフト.exe\n", {"error missing-source 2"}},
        {"long big title", "[init]\nBigTitle=" + std::string(130, 'T') + "\n[Install]\na.exe\n",
         {"warning long-title 2"}},
        {"line of 255 characters", "[Install]\na.exe\n;" + std::string(254, 'c') + "\n", {}},
        {"line of 256 characters", "[Install]\na.exe\n;" + std::string(255, 'c') + "\n",
         {"warning long-line 3"}},
    };
    for (const FindingRow& row : rows) {
        FakeMedium medium({{"a.exe", 10}});
        Report report = CheckMedium(row.script, medium);
        std::vector<std::string> expected = row.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Findings(report), expected) << row.what;
    }
}

TEST(CheckFindings, ExitStatusFollowsErrorsOnly)
{
    EXPECT_EQ(ExitStatus(Check("[Install]\na.exe\n", {{"a.exe", 1}})), 0);
    EXPECT_EQ(ExitStatus(Check("[Install]\na.exe\n[Notes]\n", {{"a.exe", 1}})), 0);
    EXPECT_EQ(ExitStatus(Check("[Install]\na.exe\n", {})), 1);
    EXPECT_EQ(ExitStatus(Check("", {})), 0);
}

struct BoxRow {
    const char* value;
    bool checked;
    bool warned;
};

TEST(CheckDialog, DefaultBoxValues)
{
    const BoxRow rows[] = {
        {"1", true, false},   {"21", true, false},  {"1 ", true, false}, {"01", true, false},
        {"0", false, false},  {"2", false, false},  {"off", false, false},
        {"11", false, true},  {"10", false, true},  {"101", false, true},
        {"yes", false, true}, {"On", false, true},  {" true ", false, true},
    };
    for (const BoxRow& row : rows) {
        Report report = Check(std::string("[init]\nDefaultRegistStartUp=") + row.value +
                              "\n[Install]\na.exe\n[StartUpSet]\nA|a.exe\n", {{"a.exe", 1}});
        EXPECT_EQ(report.startUp.checked, row.checked) << row.value;
        EXPECT_TRUE(report.startUp.enabled) << row.value;
        bool warned = false;
        for (const Finding& f : report.findings)
            warned = warned || f.code == "box-value";
        EXPECT_EQ(warned, row.warned) << row.value;
    }
}

TEST(CheckDialog, DefaultsOfAnEmptyScript)
{
    Report report = Check("");
    EXPECT_FALSE(report.bigTitle.present);
    EXPECT_EQ(report.bigTitle.value, "Setup Program");
    EXPECT_EQ(report.caption.value, "セットアップ");
    EXPECT_EQ(report.proposedDir, "C:\\Pelmora");
    EXPECT_FALSE(report.folderEnabled);
    EXPECT_EQ(report.installDir, "");
    EXPECT_FALSE(report.startMenu.enabled);
    EXPECT_FALSE(report.startUp.enabled);
    EXPECT_EQ(report.bitmap.name, "setup.bmp");
    EXPECT_FALSE(report.bitmap.file.found);
    EXPECT_TRUE(report.findings.empty());
}

TEST(CheckDialog, ValuesComeAsTheReaderGivesThem)
{
    Report report = Check(
        "[init]\nmsga=one\nmsgc=three\nCopyDir=Apps\\Tool\n[Other]\nmsgb=hidden\n"
        "[init]\nTitle=second part\n[Install]\na.exe\n", {{"a.exe", 1}});
    EXPECT_EQ(report.caption.value, "second part");
    EXPECT_EQ(report.caption.line, 8);
    EXPECT_EQ(report.textLines[0].value, "one");
    EXPECT_FALSE(report.textLines[1].present);
    EXPECT_EQ(report.textLines[2].value, "three");
    EXPECT_EQ(report.proposedDir, "C:\\Apps\\Tool");
    EXPECT_EQ(report.installDir, "C:\\Apps\\Tool");
    EXPECT_EQ(report.browsedDir, "C:\\Program Files\\Tool");
}

TEST(CheckCopies, EntriesDestinationsAndTotals)
{
    FakeMedium medium({{"a.exe", 100}, {"b.ini", 20}}, {"docs"});
    Report report = CheckMedium(
        "[init]\nCopyDir=Demo\n[Install]\n  a.exe\ndocs\n[InstallWindows]\nb.ini\n[InstallSystem]\nc.dll\n",
        medium);
    ASSERT_EQ(report.copies[0].entries.size(), 2u);
    EXPECT_EQ(report.copies[0].entries[0].name, "a.exe");
    EXPECT_EQ(report.copies[0].entries[0].line, 4);
    EXPECT_EQ(report.copies[0].entries[0].destination, "C:\\Demo\\a.exe");
    EXPECT_TRUE(report.copies[0].overwrites);
    EXPECT_EQ(report.copies[1].entries[0].destination, "C:\\WINDOWS\\b.ini");
    EXPECT_FALSE(report.copies[1].overwrites);
    EXPECT_EQ(report.copies[2].entries[0].destination, "C:\\WINDOWS\\SYSTEM\\c.dll");
    EXPECT_EQ(report.files, 4);
    EXPECT_EQ(report.filesFound, 2);
    EXPECT_EQ(report.bytes, 120u);
    std::vector<std::string> expected = {"error missing-source 9", "error source-is-folder 5"};
    EXPECT_EQ(Findings(report), expected);
}

TEST(CheckShortcuts, LinesSplitAsTheInstallSplitsThem)
{
    Report report = Check("[Install]\nreadme.txt\nbin\\tool.exe\n[StarMenuSet]\nReadme | readme.txt\n"
                          "Tool|bin\\tool.exe\nno bar here\n",
                          {{"readme.txt", 1}, {"bin\\tool.exe", 1}});
    const std::vector<Shortcut>& lines = report.shortcuts[0].shortcuts;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].linkFile, "Readme .lnk");
    EXPECT_EQ(lines[0].target, "readme.txt");
    EXPECT_EQ(lines[0].targetPath, "C:\\Pelmora\\readme.txt");
    EXPECT_TRUE(lines[0].installed);
    EXPECT_EQ(lines[1].linkFile, "Tool.lnk");
    EXPECT_TRUE(lines[1].installed);
    EXPECT_TRUE(lines[2].skipped);
    EXPECT_EQ(report.shortcutCount, 2);
    EXPECT_EQ(report.shortcuts[0].folder, "C:\\WINDOWS\\Start Menu\\Programs\\Pelmora");
}

// The same script with CR LF, LF or CR line ends gives the same report.
TEST(CheckLines, LineEndsDoNotMatter)
{
    const char* script =
        "x=1\n[init]\nTitle=T\nTitle=U\nmsga=a\n[Install]\na.exe\nmissing.txt\n[StartUpSet]\nnothing\n";
    std::vector<std::string> reference = Findings(Check(script, {{"a.exe", 1}}));
    ASSERT_EQ(reference.size(), 4u);
    for (const char* end : {"\r\n", "\r"}) {
        std::string converted;
        for (const char* c = script; *c; ++c)
            converted += *c == '\n' ? std::string(end) : std::string(1, *c);
        EXPECT_EQ(Findings(Check(converted, {{"a.exe", 1}})), reference) << (end[1] ? "CR LF" : "CR");
    }
}

// The line numbers the report gives point at the very lines the reader took
// the entries from, on scripts made of the awkward lines.
TEST(CheckLines, EntryLinesPointAtTheirSource)
{
    const char* pieces[] = {
        "[Install]", "[install ]", "[InstallWindows]", "[StarMenuSet]", "[init]", "[Install",
        "[Other]", "; note", "", "   ", "\tfile.txt", "a.exe", "Title=x", "Name|target.exe",
        "[ InstallSystem ] x", "ソフト.exe", "#x",
    };
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines;
        int count = 1 + static_cast<int>(random() % 25);
        for (int i = 0; i < count; ++i)
            lines.push_back(pieces[random() % (sizeof pieces / sizeof *pieces)]);
        if (random() % 5 == 0)
            lines.push_back(std::string(300, 'L'));
        std::string script;
        for (const std::string& line : lines)
            script += line + (random() % 2 ? "\r\n" : "\n");
        Report report = Check(script);
        auto lead = [&](int number) {
            std::string line = lines.at(number - 1).substr(0, 255);
            return line.substr(line.find_first_not_of(" \t"));
        };
        for (const CopySection& section : report.copies) {
            for (const CopyEntry& entry : section.entries) {
                ASSERT_GT(entry.line, 0) << script;
                EXPECT_EQ(lead(entry.line), entry.name) << script;
            }
        }
        for (const ShortcutSection& section : report.shortcuts) {
            for (const Shortcut& shortcut : section.shortcuts) {
                ASSERT_GT(shortcut.line, 0) << script;
                EXPECT_EQ(lead(shortcut.line), shortcut.text) << script;
            }
        }
    }
}

TEST(CheckEncoding, MarksAndNulBytes)
{
    const FindingRow rows[] = {
        {"BOM before [init]", "\xEF\xBB\xBF[init]\nTitle=x\n[Install]\na.exe\n", {"error bom-hides-header 1"}},
        {"BOM before a vendor section", "\xEF\xBB\xBF[Notes]\n[Install]\na.exe\n",
         {"warning bom-hides-header 1"}},
        {"BOM before a comment", "\xEF\xBB\xBF; c\n[Install]\na.exe\n", {"warning bom 1"}},
        {"UTF-8 text", "[init]\nTitle=\xE3\x83\x87\xE3\x83\xA2\n[Install]\na.exe\n", {"warning utf8-script 0"}},
        {"Shift-JIS text is not taken for UTF-8", "[init]\nTitle=デモ セットアップ\n[Install]\na.exe\n", {}},
    };
    for (const FindingRow& row : rows) {
        Report report = Check(row.script, {{"a.exe", 1}});
        std::vector<std::string> expected = row.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Findings(report), expected) << row.what;
    }
    std::string withNul("[Install]\na.exe\n\0b.exe\n", 23);
    std::vector<std::string> expected = {"error nul-byte 3"};
    EXPECT_EQ(Findings(Check(withNul, {{"a.exe", 1}})), expected);
    std::string trailingNul("[Install]\na.exe\n\0\0", 18);
    expected = {"warning nul-byte 3"};
    EXPECT_EQ(Findings(Check(trailingNul, {{"a.exe", 1}})), expected);
}

}  // namespace
