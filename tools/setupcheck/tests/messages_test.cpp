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

TEST(Messages, ArgumentsGoInOnceAndEachPieceStaysWhole)
{
    struct Row {
        std::string text;
        const char* utf8;  // how the text begins
    };
    const Row rows[] = {
        {Message(kJapanese, kMsgLine, {"12"}), "\x31\x32 \xE8\xA1\x8C\xE7\x9B\xAE"},    // 12 行目
        {Message(kJapanese, kMsgLine, {"%1"}), "%1 \xE8\xA1\x8C\xE7\x9B\xAE"},          // not expanded again
        {Message(kJapanese, kMsgMissingBitmap, {"a\x83"}),                              // a cut character
         "Img \xE3\x81\xAB\xE6\x8C\x87\xE5\xAE\x9A\xE3\x81\x95\xE3\x82\x8C\xE3\x81\x9F\xE3\x80\x8C"
         "a\\x83\xE3\x80\x8D"},
        {Message(kJapanese, kMsgBoxState, {kMsgChecked, kMsgEnabled}),                  // phrases
         "\xE3\x83\x81\xE3\x82\xA7\xE3\x83\x83\xE3\x82\xAF\xE3\x81\x82\xE3\x82\x8A\xE3\x80\x81"
         "\xE6\x93\x8D\xE4\xBD\x9C\xE3\x81\xA7\xE3\x81\x8D\xE3\x82\x8B"},
        {Message(kJapanese, kMsgMedium, {MessageArg::Utf8("\xE5\xAA\x92")}),
         "setupcheck: \xE3\x83\xA1\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xA2 \xE5\xAA\x92\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.text.compare(0, std::string(row.utf8).size(), row.utf8), 0) << row.text;
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
        {nullptr, nullptr, "ja_JP.UTF-8", kJapanese},
        {"", "", "ja_JP.eucJP", kJapanese},
        {nullptr, nullptr, "ja", kJapanese},
        {nullptr, "C", "ja_JP.UTF-8", kEnglish},
        {nullptr, "ja_JP.UTF-8", "en_US.UTF-8", kJapanese},
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
