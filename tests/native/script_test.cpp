// The script reader: lines, headers, keys and entries, read byte by byte.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "script/script.h"

namespace {

// One lookup into a destination of `size` bytes, all guards like the 8 that
// follow it, which must stay untouched: "<absent>" stands for a result of 0,
// any other result must be the length written.
template <typename Lookup>
std::string Answer(int size, Lookup lookup)
{
    std::vector<char> destination(size + 8, '#');
    int length = lookup(destination.data());
    EXPECT_EQ(std::string(8, '#'), std::string(destination.end() - 8, destination.end())) << size;
    if (length == 0)
        return "<absent>";
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(destination.data()));
    return std::string(destination.data(), length);
}

std::string Value(const std::string& text, const char* section, const char* key, int size = 256)
{
    return Answer(size, [&](char* to) { return GetScriptValue(text.c_str(), section, key, to, size); });
}

std::string Line(const std::string& text, const char* section, int n, int size = 256)
{
    return Answer(size, [&](char* to) { return GetScriptLine(text.c_str(), section, n, to, size); });
}

// The text with every "\n" replaced by `end`: each answer must hold with
// each line end.
std::string WithLineEnd(std::string text, const std::string& end)
{
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + end.size()))
        text.replace(at, 1, end);
    return text;
}

const char* const kLineEnds[] = {"\r\n", "\n", "\r"};

TEST(MatchName, ComparesOnlyTheLeadingLettersIgnoringAsciiCase)
{
    struct Row {
        const char* text;
        const char* name;
        int expected;
    } rows[] = {
        {"Install]", "Install", 1}, {"install ]", "INSTALL", 1}, {"InstallWindows]", "Install", 0},
        {"Install2]", "Install", 1}, {"CopyDir=D:\\Tools", "CopyDir", 1}, {"Copy Dir=Tools", "CopyDir", 0},
        {"msgb=Hello", "msga", 0}, {"Title_2=x", "Title", 1}, {"StartMenuSet]", "StarMenuSet", 0},
        {"Title\x83\x5C=x", "Title", 1}, {"=x", "", 1}, {"1abc", "2xyz", 1}, {"", "a", 0},
        {"\xE0" "bc", "abc", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, MatchName(row.text, row.name)) << row.text << " vs " << row.name;
        EXPECT_EQ(row.expected, MatchName(row.name, row.text)) << "symmetric: " << row.text;
    }
}

// Keyed lookups: header forms, key forms, long lines and bytes that are no text.
TEST(ScriptReader, HeadersKeysAndValues)
{
    const std::string pad(255, 'c');
    struct Row {
        std::string text;
        const char* key;
        std::string expected;
    } rows[] = {
        {"  [init]\n  ; comment\n\tTitle=A", "Title", "A"},
        // Blanks around "=" stay with the key and the value; the first key wins.
        {"[init]\n  Title = My Program  \nTitle=Second", "Title", " My Program  "},
        {"[init]\nImg\nImg=pic.bmp", "Img", "pic.bmp"},
        {"[init]\nmsga=x", "msgb", "<absent>"}, {"[INIT]\nTitle=A", "Title", "A"},
        {"[init] text\nTitle=A", "Title", "A"}, {"[init2]\nTitle=A", "Title", "A"},
        {"[init\nTitle=A", "Title", "<absent>"},
        {"[init]\n[init\nTitle=A\n[init]\nTitle=B", "Title", "B"},
        {"Title=A\n[init]", "Title", "<absent>"}, {"[init]\nTitle=\nTitle=X", "Title", "<absent>"},
        {"[init]\nTitle=a=b", "Title", "a=b"}, {"[init]\nTitle=A ; note", "Title", "A ; note"},
        {"[init]\n[other]\nTitle=A\n[init]\nTitle=B", "Title", "B"},
        {"[init]\nKey=v\n[init]\nLate=x", "Late", "x"}, {"\xEF\xBB\xBF[init]\nTitle=A", "Title", "<absent>"},
        {"[init]\nTitle=A\0[init]\nTitle=B", "Title", "A"},
        {std::string("\0[init]\nTitle=A", 15), "Title", "<absent>"}, {"", "Title", "<absent>"},
        {"[init]\nTitle=\x01\x02\xff\x80]\x5c", "Title", "\x01\x02\xff\x80]\x5c"},
        // The tail of a long line is no header, comment or key of its own.
        {"[init]\n" + pad + "[Other]\nTitle=A\n" + pad + "Title=B\n" + pad + ";x", "Title", "A"},
        // A value line longer than 255: the value ends with the 255th character.
        {"[init]\nTitle=" + std::string(300, 'v'), "Title", std::string(255 - 6, 'v')},
    };
    for (const char* end : kLineEnds) {
        for (const Row& row : rows)
            EXPECT_EQ(row.expected, Value(WithLineEnd(row.text, end), "init", row.key))
                << '"' << row.text << "\" with " << testing::PrintToString(std::string(end));
    }
}

TEST(ScriptReader, ListSectionsCountEveryEntryLine)
{
    const std::string list =
        "[Install]\n#x\n   Title=X  \n\n  ; not an entry\n[InstallWindows]\nw.dll\n[ install ]\nlast";
    const std::string longer = "[Install]\n" + std::string(256, 'b') + "\nnext";
    const std::string pad(255, 'c');
    struct Row {
        std::string text;
        const char* section;
        int n;
        std::string expected;
    } rows[] = {
        {list, "Install", 1, "#x"}, {list, "Install", 2, "Title=X  "}, {list, "Install", 3, "last"},
        {list, "Install", 4, "<absent>"}, {list, "Install", 0, "#x"}, {list, "Install", -5, "#x"},
        {list, "Install", INT_MIN, "#x"},
        {list, "InstallWindows", 1, "w.dll"}, {list, "InstallSystem", 1, "<absent>"},
        // A keyed section has entry lines too.
        {"[init]\n  Title = X  \nImg", "init", 1, "Title = X  "}, {"[init]\n  Title = X  \nImg", "init", 2, "Img"},
        // 255 characters with the blanks: nothing is cut.
        {"[Install]\n  " + std::string(253, 'a'), "Install", 1, std::string(253, 'a')},
        {longer, "Install", 1, std::string(255, 'b')}, {longer, "Install", 2, "next"},
        // The tail of a long line never counts as a line of its own.
        {"[Install]\n" + pad + "\n", "Install", 2, "<absent>"},
        {"[Other]\n" + pad + "[Install]\nx", "Install", 1, "<absent>"},
        {"[Install]\n\x83\x7c|x", "Install", 1, "\x83\x7c|x"},
    };
    for (const char* end : kLineEnds) {
        for (const Row& row : rows)
            EXPECT_EQ(row.expected, Line(WithLineEnd(row.text, end), row.section, row.n))
                << '"' << row.text << "\" with " << testing::PrintToString(std::string(end));
    }
}

TEST(ScriptReader, DestinationSizeIsRespected)
{
    const std::string text = "[init]\nTitle=" + std::string(200, 't') + "\n[Install]\nabc";
    EXPECT_EQ(std::string(127, 't'), Value(text, "init", "Title", 128));
    EXPECT_EQ("<absent>", Value(text, "init", "Title", 1));
    EXPECT_EQ("<absent>", Value(text, "init", "Title", 0));
    EXPECT_EQ("<absent>", Line(text, "Install", 1, 1));
    EXPECT_EQ("ab", Line(text, "Install", 1, 3));
}

}  // namespace
