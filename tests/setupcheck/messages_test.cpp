// The message table and the choice of language. Narrow literals here are
// Shift-JIS; expected UTF-8 is written as bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "messages.h"

namespace {

// The placeholders a text uses: "%2%1%2" -> {1, 2}.
std::vector<char> Placeholders(const char* text)
{
    std::vector<char> found;
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] >= '1' && c[1] <= '9')
            found.push_back(c[1]);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// A translation that drops or adds an argument would show a wrong or empty value.
TEST(Messages, EveryRowInPlaceWithTheSameArgumentsInBothLanguages)
{
    for (int i = 0; i < kMessageCount; ++i) {
        MessageId id = static_cast<MessageId>(i);
        EXPECT_EQ(MessageRowId(id), id) << "row " << i;
        const char* english = MessageText(kEnglish, id);
        const char* japanese = MessageText(kJapanese, id);
        EXPECT_NE(*japanese, '\0') << english;
        EXPECT_EQ(Placeholders(english), Placeholders(japanese)) << english;
    }
}

// An argument goes in once: a "%1" in it is not expanded again. How line
// numbers, phrases, cut characters and the medium's name read in a report
// the media's Japanese reports show.
TEST(Messages, ArgumentsGoInOnce)
{
    EXPECT_EQ(Message(kJapanese, kMsgLine, {"%1"}).compare(0, 10, "%1 \xE8\xA1\x8C\xE7\x9B\xAE"), 0);  // 行目
}

TEST(Messages, LanguageOfTheLocaleThatDecidesMessages)
{
    struct Row {
        const char* all;
        const char* messages;
        const char* lang;
        Language expected;
    };
    const Row rows[] = {
        {nullptr, nullptr, nullptr, kEnglish},
        {"", "", "ja_JP.eucJP", kJapanese},
        {nullptr, nullptr, "ja", kJapanese},
        {nullptr, "C", "ja_JP.UTF-8", kEnglish},
        {"C.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", kEnglish},
        {"ja_JP.SJIS", nullptr, "C", kJapanese},
        {nullptr, nullptr, "jv_ID", kEnglish},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LanguageOfLocale(row.all, row.messages, row.lang), row.expected)
            << (row.all ? row.all : "-") << " " << (row.messages ? row.messages : "-") << " "
            << (row.lang ? row.lang : "-");
    }
}

}  // namespace
