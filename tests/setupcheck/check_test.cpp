// The checker's verdicts on scripts held in memory, against a fake medium.
// Narrow literals here are Shift-JIS, as in a real setup.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "check.h"

namespace {

// A medium of one file, a.exe, looked up as Windows does: without ASCII case
// and without trailing blanks and dots.
class FakeMedium : public Medium {
public:
    FileState Probe(const std::string& relative) override
    {
        std::string name = relative;
        while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
            name.pop_back();
        for (char& c : name)
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        FileState state;
        state.found = name == "A.EXE";
        state.size = state.found ? 10 : 0;
        return state;
    }
    bool Read(const std::string&, size_t, std::string*) override { return false; }
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

Report Check(const std::string& script)
{
    FakeMedium medium;
    return CheckMedium(script, medium);
}

struct FindingRow {
    const char* what;
    std::string script;
    std::vector<std::string> expected;  // sorted
};

// Each row under LF, CR LF and CR line ends alike; the exit status is 1
// exactly when an error is expected. The traps the test media show (their
// expect.txt) are not repeated here.
TEST(CheckFindings, EachTrapIsNamedOnItsLine)
{
    const FindingRow rows[] = {
        {"empty script", "", {}},
        {"clean minimal medium", "[Install]\na.exe\n", {}},
        {"headers written loosely still open", "[ INSTALL ]\na.exe\n[init] text\nTitle=x\n", {}},
        {"comment and blank lines before a header are fine", "; c\n\n  \t\n[Install]\na.exe\n", {}},
        {"empty first value hides the second",
         "[init]\nTitle=\nTitle=X\n[Install]\na.exe\n", {"warning repeated-key 3"}},
        {"no '=' is passed over", "[init]\nTitle\nTitle=X\n[Install]\na.exe\n", {"warning no-equals 2"}},
        {"leading blank of a text line is layout", "[init]\nmsga=  indented\n[Install]\na.exe\n", {}},
        {"proposal with a final backslash", "[init]\nCopyDir=Tools\\\n[Install]\na.exe\n",
         {"warning proposal-changed 2"}},
        {"proposal with two backslashes", "[init]\nCopyDir=A\\ \\B\n[Install]\na.exe\n",
         {"error proposal-refused 2"}},
        {"proposal ending in a character with a 0x5C byte", "[init]\nCopyDir=ソ\n[Install]\na.exe\n",
         {"warning proposal-changed 2", "warning trail-backslash 2"}},
        {"proposal naming a drive", "[init]\nCopyDir=D:\\Apps\n[Install]\na.exe\n",
         {"error proposal-colon 2"}},
        // Unchecked values that look meant to check the box: a "1" that is no
        // digit of its own, or a word for yes in any case and with blanks.
        {"box values that look on",
         "[init]\nDefaultRegistStartMenu=10\nDefaultRegistStartUp=On\n[Install]\na.exe\n"
         "[StarMenuSet]\nA|a.exe\n[StartUpSet]\nA|a.exe\n", {"warning box-value 2", "warning box-value 3"}},
        {"box value that looks on with blanks", "[init]\nDefaultRegistStartUp= true \n[Install]\na.exe\n",
         {"warning box-value 2", "warning leading-blank 2"}},
        {"box values that are plainly off",
         "[init]\nDefaultRegistStartMenu=off\nDefaultRegistStartUp=2\n[Install]\na.exe\n", {}},
        {"StartUp box over an empty list is harmless", "[init]\nDefaultRegistStartUp=1\n[Install]\na.exe\n",
         {}},
        {"unclosed header of an empty part", "[Install]\na.exe\n[InstallWindows\n",
         {"warning unclosed-header 3"}},
        {"subfolder in the Windows directory", "[Install]\na.exe\n[InstallSystem]\ndrivers\\b.sys\n",
         {"error missing-source 4", "warning subfolder 4"}},
        {"blanks at the end of a name", "[Install]\na.exe  \n", {"warning trailing-blank 2"}},
        {"shortcut to a file installed with other case", "[Install]\na.exe\n[StartUpSet]\nA|A.EXE\n", {}},
        {"shortcut without a name", "[Install]\na.exe\n[StartUpSet]\n|a.exe\n", {"warning empty-name 4"}},
        {"shortcut name with a separator", "[Install]\na.exe\n[StartUpSet]\nX\\Y|a.exe\n",
         {"error link-name 4"}},
        {"shortcut that points at nothing", "[Install]\na.exe\n[StartUpSet]\nA|\n",
         {"error target-not-installed 4"}},
        {"Shift-JIS with 0x5C in a file name is no folder", "[Install]\nソフト.exe\n",
         {"error missing-source 2"}},
        {"long big title", "[init]\nBigTitle=" + std::string(130, 'T') + "\n[Install]\na.exe\n",
         {"warning long-title 2"}},
        {"line of 255 characters", "[Install]\na.exe\n;" + std::string(254, 'c') + "\n", {}},
        {"BOM before a vendor section", "\xEF\xBB\xBF[Notes]\n[Install]\na.exe\n",
         {"warning bom-hides-header 1"}},
        {"BOM before a comment", "\xEF\xBB\xBF; c\n[Install]\na.exe\n", {"warning bom 1"}},
        {"Shift-JIS text is not taken for UTF-8", "[init]\nTitle=デモ セットアップ\n[Install]\na.exe\n", {}},
        {"NUL bytes at the end", std::string("[Install]\na.exe\n\0\0", 18), {"warning nul-byte 3"}},
    };
    for (const FindingRow& row : rows) {
        for (const char* end : {"\n", "\r\n", "\r"}) {
            std::string script;
            for (char c : row.script)
                script += c == '\n' ? std::string(end) : std::string(1, c);
            Report report = Check(script);
            EXPECT_EQ(Findings(report), row.expected) << row.what << testing::PrintToString(std::string(end));
            bool error = !row.expected.empty() && row.expected[0].compare(0, 6, "error ") == 0;
            EXPECT_EQ(ExitStatus(report), error ? 1 : 0) << row.what;
        }
    }
}

// What the media's reports do not show: a later [init] part still counts, a
// msg key elsewhere does not, and browsing keeps the proposal's last folder.
TEST(CheckDialog, ValuesComeAsTheReaderGivesThem)
{
    Report report = Check("[init]\nmsga=one\nCopyDir=Apps\\Tool\n[Other]\nmsgb=hidden\n"
                          "[init]\nTitle=second part\n[Install]\na.exe\n");
    EXPECT_EQ(report.caption.value, "second part");
    EXPECT_EQ(report.caption.line, 7);
    EXPECT_FALSE(report.textLines[1].present);
    EXPECT_EQ(report.installDir, "C:\\Apps\\Tool");
    EXPECT_EQ(report.browsedDir, "C:\\Program Files\\Tool");
}

// The line numbers the report gives point at the very lines the reader took
// the entries from, on scripts made of the awkward lines.
TEST(CheckLines, EntryLinesPointAtTheirSource)
{
    const char* const kLineEnds[] = {"\r\n", "\n", "\r"};
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
        // Every line end; an empty line after a CR ends with CR LF, or its LF
        // would close the CR's line instead.
        std::string script;
        for (const std::string& line : lines) {
            std::string end = kLineEnds[random() % 3];
            bool joins = line.empty() && !script.empty() && script.back() == '\r' && end == "\n";
            script += line + (joins ? "\r\n" : end);
        }
        Report report = Check(script);
        // The entry's text is its line's first 255 characters, from its first non-blank.
        auto expectFrom = [&](int number, const std::string& text) {
            ASSERT_GT(number, 0) << script;
            std::string line = lines.at(number - 1).substr(0, 255);
            EXPECT_EQ(line.substr(line.find_first_not_of(" \t")), text) << script;
        };
        for (const CopySection& section : report.copies)
            for (const CopyEntry& entry : section.entries)
                expectFrom(entry.line, entry.name);
        for (const ShortcutSection& section : report.shortcuts)
            for (const Shortcut& shortcut : section.shortcuts)
                expectFrom(shortcut.line, shortcut.text);
    }
}

}  // namespace
