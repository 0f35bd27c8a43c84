// The two dialog templates, read from setup.exe itself and compared, field
// by field and control by control in tab order, with the tables they were
// drawn from.
#include <gtest/gtest.h>

#include "session.h"

namespace {

const DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kTextLine = kChild | SS_LEFT | WS_GROUP;
const DWORD kField = kChild | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
const char kFace[] = "ＭＳ Ｐゴシック";
// The banner names the version on one line; its text is not fixed.
const char kBanner[] = "(version)";

TEST(Templates, BothDialogsHoldEveryControlAsDrawn)
{
    const driver::DialogTemplate dialogs[] = {
        {kDialog, 0, 262, 173, 9, "", "", driver::kDefaultCaption, kFace,
         {
             {1, "BUTTON", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 134, 74, 14,
              "インストール開始(&I)"},
             {2, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 127, 134, 50, 14, "中止(&S)"},
             {1004, "STATIC", kChild | SS_BITMAP | SS_SUNKEN, 7, 7, 18, 20, ""},
             {1005, "STATIC", kTextLine, 105, 15, 149, 8, ""},
             {1003, "EDIT", kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 57, 116,
              165, 14, ""},
             {1006, "STATIC", kTextLine, 105, 25, 149, 8, ""},
             {1007, "STATIC", kTextLine, 105, 35, 149, 8, ""},
             {1008, "STATIC", kTextLine, 105, 45, 149, 8, ""},
             {1009, "STATIC", kTextLine, 105, 55, 149, 8, ""},
             {1017, "STATIC", kTextLine, 9, 119, 47, 8, "インストール先："},
             {0xFFFF, "STATIC", kChild | SS_RIGHT | WS_GROUP, 7, 158, 248, 8, kBanner},
             {1011, "BUTTON", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 23, 100, 95, 10,
              "スタートメニューに登録する"},
             {1010, "STATIC", kTextLine, 105, 65, 149, 8, ""},
             {1012, "STATIC", kTextLine, 105, 75, 149, 8, ""},
             {0xFFFF, "BUTTON", kChild | BS_GROUPBOX, 7, 85, 248, 69, "インストール設定"},
             {1013, "BUTTON", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 131, 100, 84, 10,
              "スタートアップに登録する"},
             {1014, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 223, 116, 29, 14, "参照(&S)"},
             {1016, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 180, 134, 70, 14,
              "標準のインストール先"},
         }},
        {kDialog, 0, 210, 61, 9, "", "", driver::kCopyCaption, kFace,
         {
             {2, "BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 73, 40, 64, 14, "中止(&S)"},
             {1018, "STATIC", kChild | WS_GROUP | SS_RIGHT, 10, 11, 30, 8, "コピー元："},
             {1019, "STATIC", kChild | WS_GROUP | SS_RIGHT, 10, 27, 30, 8, "コピー先："},
             {1003, "EDIT", kField, 44, 7, 159, 14, ""},
             {1012, "EDIT", kField, 44, 23, 159, 14, ""},
             {1020, "STATIC", WS_CHILD | WS_GROUP | SS_CENTER, 7, 15, 196, 15, "完了"},
         }},
    };
    const int ids[] = {IDD_SETTINGS, IDD_COPY};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("dialog " + std::to_string(ids[i]));
        const driver::DialogTemplate& want = dialogs[i];
        driver::DialogTemplate got;
        ASSERT_TRUE(driver::ReadDialogTemplate(ids[i], &got)) << driver::LastError();
        EXPECT_EQ(want.style, got.style);
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(want.pointSize, got.pointSize);
        EXPECT_EQ(want.menu, got.menu);
        EXPECT_EQ(want.windowClass, got.windowClass);
        EXPECT_EQ(want.caption, got.caption);
        EXPECT_EQ(want.face, got.face);
        ASSERT_EQ(want.items.size(), got.items.size());
        for (size_t n = 0; n < got.items.size(); ++n) {
            const driver::TemplateItem& item = want.items[n];
            SCOPED_TRACE("control " + std::to_string(n + 1) + ", id " + std::to_string(item.id));
            std::string text = got.items[n].text;
            if (item.text == kBanner) {
                EXPECT_NE(std::string::npos, text.find("0.50")) << driver::ToUtf8(text);
                EXPECT_EQ(std::string::npos, text.find('\n'));
                text = kBanner;
            }
            EXPECT_EQ(item.id, got.items[n].id);
            EXPECT_EQ(item.className, got.items[n].className);
            EXPECT_EQ(item.style, got.items[n].style);
            EXPECT_EQ(item.exStyle, got.items[n].exStyle);
            EXPECT_EQ(item.text, text);
            EXPECT_EQ(item.x, got.items[n].x);
            EXPECT_EQ(item.y, got.items[n].y);
            EXPECT_EQ(item.cx, got.items[n].cx);
            EXPECT_EQ(item.cy, got.items[n].cy);
        }
    }
}

}  // namespace
