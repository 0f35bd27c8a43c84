// Bounded text helpers: the bound, the NUL and the bytes around them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "script/text.h"

namespace {

const char kGuard = '#';

// A destination of 300 bytes filled with guards, so a write past the
// bound shows as a changed guard.
struct Buffer {
    char bytes[300];
    Buffer() { std::memset(bytes, kGuard, sizeof bytes); }
    explicit Buffer(const std::string& initial) : Buffer()
    {
        std::memcpy(bytes, initial.c_str(), initial.size() + 1);
    }
    int GuardsFrom(int index) const
    {
        int count = 0;
        for (int i = index; i < static_cast<int>(sizeof bytes); ++i)
            count += bytes[i] == kGuard;
        return count;
    }
};

TEST(CopyText, CopiesUpToTheBoundAndAlwaysTerminates)
{
    const std::string longSource(300, 'x');
    struct Row {
        std::string source;
        int bound;
        int expected;
    } rows[] = {
        {"abc", 0, 0},
        {"", 10, 0},
        {"Setup Program", 127, 13},
        {longSource, 259, 259},
        {"exact", 5, 5},
        {"exact!", 5, 5},
    };
    for (const Row& row : rows) {
        Buffer destination;
        int result = CopyText(destination.bytes, row.source.c_str(), row.bound);
        EXPECT_EQ(row.expected, result) << row.source.size() << " chars, bound " << row.bound;
        EXPECT_EQ(row.source.substr(0, row.expected), std::string(destination.bytes));
        EXPECT_EQ('\0', destination.bytes[row.expected]);
        // Nothing written past the NUL.
        EXPECT_EQ(static_cast<int>(sizeof destination.bytes) - row.expected - 1,
                  destination.GuardsFrom(row.expected + 1));
    }
}

TEST(AppendText, TheBoundLimitsTheWholeString)
{
    struct Row {
        std::string initial;
        std::string source;
        int bound;
        int expected;
        std::string result;
    } rows[] = {
        {"", "abc", 259, 3, "abc"},
        {std::string(257, 'a'), "xyz", 259, 2, std::string(257, 'a') + "xy"},
        {std::string(259, 'a'), "xyz", 259, 0, std::string(259, 'a')},
        {"C:\\", "Pelmora", 259, 7, "C:\\Pelmora"},
        {"C:\\", "", 259, 0, "C:\\"},
    };
    for (const Row& row : rows) {
        Buffer destination(row.initial);
        int result = AppendText(destination.bytes, row.source.c_str(), row.bound);
        EXPECT_EQ(row.expected, result) << row.initial.size() << " + " << row.source;
        EXPECT_EQ(row.result, std::string(destination.bytes));
        EXPECT_EQ(static_cast<int>(sizeof destination.bytes) - static_cast<int>(row.result.size()) - 1,
                  destination.GuardsFrom(static_cast<int>(row.result.size()) + 1));
    }
}

TEST(AppendText, DestinationLongerThanTheBoundIsLeftAlone)
{
    // Ten characters in a buffer whose bound says five: no byte may change,
    // and nothing past bound + 1 bytes may even be looked at.
    char destination[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    EXPECT_EQ(0, AppendText(destination, "xyz", 5));
    EXPECT_EQ(0, std::memcmp(destination, "abcdef", 6));
}

TEST(SkipBlanks, StepsOverSpacesAndTabsOnly)
{
    struct Row {
        const char* text;
        int offset;
    } rows[] = {
        {"\t  x", 3},
        {"   ", 3},
        {"", 0},
        {"\rx", 0},
        {"\n x", 0},
        {"\x81\x40x", 0},  // the ideographic space is not a blank
        {"\v x", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.text + row.offset, SkipBlanks(row.text)) << '"' << row.text << '"';
}

TEST(FindChar, FindsTheFirstByteButNeverTheTerminator)
{
    const char* assignment = "k=v=w";
    EXPECT_EQ(assignment + 1, FindChar(assignment, '='));
    const char* katakanaSo = "\x83\x5C";  // ソ: its trail byte is a backslash
    EXPECT_EQ(katakanaSo + 1, FindChar(katakanaSo, '\\'));
    EXPECT_EQ(nullptr, FindChar("abc", '\0'));
    EXPECT_EQ(nullptr, FindChar("", 'a'));
    EXPECT_EQ(nullptr, FindChar("abc", '|'));
}

}  // namespace
