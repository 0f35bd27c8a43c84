// Bounded text helpers: the bound, the NUL and the bytes around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <tuple>

#include "script/text.h"

namespace {

const char kGuard = '#';

// A destination of 300 bytes filled with guards, so a write past the
// bound shows as a changed guard.
struct Buffer {
    char bytes[300];
    Buffer() { std::memset(bytes, kGuard, sizeof bytes); }
    int GuardsFrom(int index) const { return std::count(bytes + index, std::end(bytes), kGuard); }
};

// Rows without an initial text are CopyText's, into a destination of guards
// only; the others append to that text.
TEST(CopyAndAppendText, CopyUpToTheBoundOfTheWholeStringAndAlwaysTerminate)
{
    const std::string x300(300, 'x'), a257(257, 'a'), a259(259, 'a');
    struct Row {
        const char* initial;
        std::string source;
        int bound;
        int expected;
        std::string result;
    } rows[] = {
        {nullptr, "abc", 0, 0, ""}, {nullptr, "", 10, 0, ""},
        {nullptr, "Setup Program", 127, 13, "Setup Program"}, {nullptr, x300, 259, 259, x300.substr(0, 259)},
        {nullptr, "exact", 5, 5, "exact"}, {nullptr, "exact!", 5, 5, "exact"}, {"", "abc", 259, 3, "abc"},
        {a257.c_str(), "xyz", 259, 2, a257 + "xy"}, {a259.c_str(), "xyz", 259, 0, a259},
        {"C:\\", "Pelmora", 259, 7, "C:\\Pelmora"}, {"C:\\", "", 259, 0, "C:\\"},
    };
    for (const Row& row : rows) {
        Buffer destination;
        if (row.initial != nullptr)
            std::strcpy(destination.bytes, row.initial);
        const char* source = row.source.c_str();
        int result = row.initial != nullptr ? AppendText(destination.bytes, source, row.bound)
                                            : CopyText(destination.bytes, source, row.bound);
        EXPECT_EQ(row.expected, result) << (row.initial ? "append " : "copy ") << row.source.size()
                                        << " chars, bound " << row.bound;
        EXPECT_EQ(row.result, std::string(destination.bytes));
        // Nothing written past the NUL.
        const int length = static_cast<int>(row.result.size());
        EXPECT_EQ(static_cast<int>(sizeof destination.bytes) - length - 1,
                  destination.GuardsFrom(length + 1));
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
    // The ideographic space 0x81 0x40 is not a blank.
    const std::pair<const char*, int> rows[] = {
        {"\t  x", 3}, {"   ", 3}, {"", 0}, {"\rx", 0}, {"\n x", 0}, {"\x81\x40x", 0}, {"\v x", 0},
    };
    for (const auto& [text, offset] : rows)
        EXPECT_EQ(text + offset, SkipBlanks(text)) << '"' << text << '"';
}

TEST(FindChar, FindsTheFirstByteButNeverTheTerminator)
{
    // The trail byte of ソ (0x83 0x5C) is a backslash all the same.
    const std::tuple<const char*, char, int> rows[] = {
        {"k=v=w", '=', 1}, {"\x83\x5C", '\\', 1}, {"abc", '\0', -1}, {"", 'a', -1}, {"abc", '|', -1},
    };
    for (const auto& [text, character, offset] : rows)
        EXPECT_EQ(offset < 0 ? nullptr : text + offset, FindChar(text, character)) << '"' << text << '"';
}

}  // namespace
