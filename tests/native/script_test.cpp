// The script reader: lines, headers, keys and entries, read byte by byte.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "script/script.h"

namespace {

std::string Value(const std::string& text, const char* section, const char* key, int size = 256)
{
    std::vector<char> destination(size > 0 ? size : 1, '#');
    int length = GetScriptValue(text.c_str(), section, key, destination.data(), size);
    if (length == 0)
        return "<absent>";
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(destination.data()));
    return std::string(destination.data(), length);
}

std::string Line(const std::string& text, const char* section, int n, int size = 256)
{
    std::vector<char> destination(size > 0 ? size : 1, '#');
    int length = GetScriptLine(text.c_str(), section, n, destination.data(), size);
    if (length == 0)
        return "<absent>";
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(destination.data()));
    return std::string(destination.data(), length);
}

std::string WithLineEnds(const std::vector<std::string>& lines, const std::string& end)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 < lines.size() ? end : "");
    return text;
}

const std::vector<std::string> kWorkedExample = {
    "; setup script",
    "[init]",
    "  Title = My Program  ",
    "Title=Second",
    "Img",
    "Img=pic.bmp",
    "msga=Welcome",
    "[Install]",
    "",
    "   app.exe",
    ";skip.dll",
    "readme.txt   ",
    "[Other]",
    "x.dat",
    "[ install ]",
    "last.dll",
};

TEST(ScriptReader, WorkedExampleGivesTheSameAnswersWithEveryLineEnd)
{
    struct ValueRow {
        const char* section;
        const char* key;
        int size;
        const char* expected;
    } values[] = {
        {"init", "Title", 256, " My Program  "},
        {"init", "Title", 5, " My "},
        {"init", "Img", 256, "pic.bmp"},
        {"init", "msga", 256, "Welcome"},
        {"init", "msgb", 256, "<absent>"},
        {"Install", "Title", 256, "<absent>"},
    };
    struct LineRow {
        const char* section;
        int n;
        const char* expected;
    } lines[] = {
        {"Install", 1, "app.exe"},
        {"Install", 2, "readme.txt   "},
        {"Install", 3, "last.dll"},
        {"Install", 4, "<absent>"},
        {"Install", 0, "app.exe"},
        {"Install", -5, "app.exe"},
        {"Install", INT_MIN, "app.exe"},
        {"init", 1, "Title = My Program  "},
        {"init", 3, "Img"},
        {"Other", 1, "x.dat"},
        {"InstallWindows", 1, "<absent>"},
    };
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const std::string text = WithLineEnds(kWorkedExample, end);
        for (const ValueRow& row : values)
            EXPECT_EQ(row.expected, Value(text, row.section, row.key, row.size))
                << row.section << "/" << row.key << " size " << row.size;
        for (const LineRow& row : lines)
            EXPECT_EQ(row.expected, Line(text, row.section, row.n)) << row.section << " #" << row.n;
    }
}

TEST(MatchName, ComparesOnlyTheLeadingLettersIgnoringAsciiCase)
{
    struct Row {
        const char* text;
        const char* name;
        int expected;
    } rows[] = {
        {"Install]", "Install", 1},
        {"install ]", "INSTALL", 1},
        {"InstallWindows]", "Install", 0},
        {"Install2]", "Install", 1},
        {"CopyDir=D:\\Tools", "CopyDir", 1},
        {"Copy Dir=Tools", "CopyDir", 0},
        {"msgb=Hello", "msga", 0},
        {"Title_2=x", "Title", 1},
        {"StartMenuSet]", "StarMenuSet", 0},
        {"Title\x83\x5C=x", "Title", 1},
        {"=x", "", 1},
        {"1abc", "2xyz", 1},
        {"", "a", 0},
        {"\xE0" "bc", "abc", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, MatchName(row.text, row.name)) << row.text << " vs " << row.name;
        EXPECT_EQ(row.expected, MatchName(row.name, row.text)) << "symmetric: " << row.text;
    }
}

TEST(ScriptReader, HeadersCommentsAndIndentation)
{
    struct Row {
        std::string text;
        const char* key;
        const char* expected;
    } rows[] = {
        {"  [init]\n  ; comment\n\tTitle=A", "Title", "A"},
        {"[INIT]\nTitle=A", "Title", "A"},
        {"[ init ]\nTitle=A", "Title", "A"},
        {"[init] text\nTitle=A", "Title", "A"},
        {"[init2]\nTitle=A", "Title", "A"},
        {"[init\nTitle=A", "Title", "<absent>"},
        {"[init]\n[init\nTitle=A\n[init]\nTitle=B", "Title", "B"},
        {"Title=A\n[init]", "Title", "<absent>"},
        {"[init]\nTitle\nTitle=X", "Title", "X"},
        {"[init]\nTitle=\nTitle=X", "Title", "<absent>"},
        {"[init]\nTitle=a=b", "Title", "a=b"},
        {"[init]\nTitle = X", "Title", " X"},
        {"[init]\nTitle=A ; note", "Title", "A ; note"},
        {"[init]\nmsga=x", "msgb", "<absent>"},
        {"[init]\nTitle2=x", "Title", "x"},
        {"[init]\n[other]\nTitle=A\n[init]\nTitle=B", "Title", "B"},
        {"\xEF\xBB\xBF[init]\nTitle=A", "Title", "<absent>"},
        {"[init]\nTitle=A\0[init]\nTitle=B", "Title", "A"},
        {"", "Title", "<absent>"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, Value(row.text, "init", row.key)) << '"' << row.text << '"';

    EXPECT_EQ("<absent>", Value(std::string("\0[init]\nTitle=A", 15), "init", "Title"));
    EXPECT_EQ("x", Value("[init]\nKey=v\n[init]\nLate=x", "init", "Late"));
}

TEST(ScriptReader, ListSectionsCountEveryEntryLine)
{
    const std::string text =
        "[Install]\n#x\nTitle=X\n\n  ; not an entry\n[InstallWindows]\nw.dll\n[Install]\nsecond.dat";
    EXPECT_EQ("#x", Line(text, "Install", 1));
    EXPECT_EQ("Title=X", Line(text, "Install", 2));
    EXPECT_EQ("second.dat", Line(text, "Install", 3));
    EXPECT_EQ("<absent>", Line(text, "Install", 4));
    EXPECT_EQ("w.dll", Line(text, "InstallWindows", 1));
    EXPECT_EQ("<absent>", Line(text, "InstallSystem", 1));
}

TEST(ScriptReader, LongLinesAreCutAt255AndTheirTailIsSkipped)
{
    const std::string exact = "  " + std::string(253, 'a');  // 255 with the blanks
    EXPECT_EQ(std::string(253, 'a'), Line("[Install]\n" + exact, "Install", 1));

    const std::string longer = std::string(256, 'b');
    EXPECT_EQ(std::string(255, 'b'), Line("[Install]\n" + longer + "\nnext", "Install", 1));
    EXPECT_EQ("next", Line("[Install]\n" + longer + "\nnext", "Install", 2));

    // The tail of a long line never counts as a line of its own, not even
    // when it looks like a header, a comment or a key.
    const std::string pad(255, 'c');
    const std::string text = "[init]\n" + pad + "[Other]\nTitle=A\n" + pad + "Title=B\n" + pad + ";x";
    EXPECT_EQ("A", Value(text, "init", "Title"));
    EXPECT_EQ("<absent>", Line("[Install]\n" + pad + "\n", "Install", 2));
    EXPECT_EQ("<absent>", Line("[Other]\n" + pad + "[Install]\nx", "Install", 1));

    // A value line longer than 255: the value ends with the 255th character.
    const std::string key = "[init]\nTitle=" + std::string(300, 'v');
    EXPECT_EQ(std::string(255 - 6, 'v'), Value(key, "init", "Title"));
}

TEST(ScriptReader, DestinationSizeIsRespected)
{
    const std::string text = "[init]\nTitle=" + std::string(200, 't') + "\n[Install]\nabc";
    EXPECT_EQ(std::string(127, 't'), Value(text, "init", "Title", 128));
    EXPECT_EQ("<absent>", Value(text, "init", "Title", 1));
    EXPECT_EQ("<absent>", Line(text, "Install", 1, 1));
    EXPECT_EQ("ab", Line(text, "Install", 1, 3));

    // Guard bytes after the destination stay untouched.
    char destination[8];
    std::memset(destination, '#', sizeof destination);
    EXPECT_EQ(3, GetScriptValue(text.c_str(), "init", "Title", destination, 4));
    EXPECT_EQ('\0', destination[3]);
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ('#', destination[i]);
    EXPECT_EQ(0, GetScriptValue(text.c_str(), "init", "Title", destination, 0));
    EXPECT_EQ('t', destination[0]);
}

TEST(ScriptReader, BinaryBytesAreJustBytes)
{
    std::string text = "[init]\nTitle=\x01\x02\xff\x80]\x5c\n[Install]\n\x83\x7c|x";
    EXPECT_EQ("\x01\x02\xff\x80]\x5c", Value(text, "init", "Title"));
    EXPECT_EQ("\x83\x7c|x", Line(text, "Install", 1));
}

}  // namespace
