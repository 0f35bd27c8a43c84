// Shift-JIS to UTF-8 for the report. The expected texts are written as UTF-8
// bytes, since narrow literals in this file are Shift-JIS (the last row checks that).
#include <gtest/gtest.h>

#include "display.h"

namespace {

struct DecodeRow {
    std::string sjis;
    std::string utf8;
};

TEST(Display, ShiftJisBecomesUtf8)
{
    const DecodeRow rows[] = {
        {"", ""},
        {"plain ASCII\\path", "plain ASCII\\path"},
        {"\x83\x5C\x83\x74\x83\x67", "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"},  // ソフト, 0x5C trail
        {"\x83\x7C", "\xE3\x83\x9D"},                                           // ポ, 0x7C trail
        {"\xB1\xB2", "\xEF\xBD\xB1\xEF\xBD\xB2"},                               // half-width ｱｲ
        {"\x87\x40", "\xE2\x91\xA0"},                                           // circled 1 of CP932
        {"a\x83", "a\\x83"},                                                    // lead byte cut off
        {"\x80x", "\\x80x"},                                                    // no character
        {"セットアップ", "\xE3\x82\xBB\xE3\x83\x83\xE3\x83\x88\xE3\x82\xA2\xE3\x83\x83\xE3\x83\x97"},
    };
    for (const DecodeRow& row : rows)
        EXPECT_EQ(SjisToUtf8(row.sjis), row.utf8) << row.utf8;
}

}  // namespace
