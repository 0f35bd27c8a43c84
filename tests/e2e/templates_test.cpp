// The two dialog templates, read from setup.exe itself and compared, line by
// line, with the tables they were drawn from: the dialog's own line, then
// one line per control in tab order.
#include <gtest/gtest.h>

#include <cstdio>

#include "session.h"

namespace {

const DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kTextLine = kChild | SS_LEFT | WS_GROUP;
const DWORD kField = kChild | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
// The banner names the version on one line; its text is not fixed.
const char kBanner[] = "(version)";

// "style exStyle" in hex, then the rest: for the dialog "cx,cy point face |
// caption | menu | class", for a control "id CLASS x,y cx,cy text".
std::string Line(DWORD style, const std::string& rest, DWORD exStyle = 0)
{
    char styles[24];
    std::snprintf(styles, sizeof styles, "%08lX %lX ", style, exStyle);
    return styles + rest;
}

std::vector<std::string> Lines(const driver::DialogTemplate& dialog)
{
    auto pair = [](int a, int b) { return std::to_string(a) + "," + std::to_string(b) + " "; };
    std::vector<std::string> lines = {
        Line(dialog.style, pair(dialog.cx, dialog.cy) + std::to_string(dialog.pointSize) + " " +
             dialog.face + " | " + dialog.caption + " | " + dialog.menu + " | " + dialog.windowClass,
             dialog.exStyle)};
    for (const driver::TemplateItem& item : dialog.items) {
        bool banner = item.text.find("0.50") != std::string::npos &&
                      item.text.find('\n') == std::string::npos;
        lines.push_back(Line(item.style,
                             std::to_string(item.id) + " " + item.className + " " + pair(item.x, item.y) +
                                 pair(item.cx, item.cy) + (banner ? kBanner : item.text),
                             item.exStyle));
    }
    return lines;
}

// Control 65535 is the "no id" of the resource script (-1).
TEST(Templates, BothDialogsHoldEveryControlAsDrawn)
{
    const std::vector<std::string> dialogs[] = {{
        Line(kDialog, "262,173 9 ＭＳ Ｐゴシック | セットアップ |  | "),
        Line(kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, "1 BUTTON 50,134 74,14 インストール開始(&I)"),
        Line(kChild | BS_PUSHBUTTON | WS_TABSTOP, "2 BUTTON 127,134 50,14 中止(&S)"),
        Line(kChild | SS_BITMAP | SS_SUNKEN, "1004 STATIC 7,7 18,20 "),
        Line(kTextLine, "1005 STATIC 105,15 149,8 "),
        Line(kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "1003 EDIT 57,116 165,14 "),
        Line(kTextLine, "1006 STATIC 105,25 149,8 "),
        Line(kTextLine, "1007 STATIC 105,35 149,8 "),
        Line(kTextLine, "1008 STATIC 105,45 149,8 "),
        Line(kTextLine, "1009 STATIC 105,55 149,8 "),
        Line(kTextLine, "1017 STATIC 9,119 47,8 インストール先："),
        Line(kChild | SS_RIGHT | WS_GROUP, std::string("65535 STATIC 7,158 248,8 ") + kBanner),
        Line(kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "1011 BUTTON 23,100 95,10 スタートメニューに登録する"),
        Line(kTextLine, "1010 STATIC 105,65 149,8 "),
        Line(kTextLine, "1012 STATIC 105,75 149,8 "),
        Line(kChild | BS_GROUPBOX, "65535 BUTTON 7,85 248,69 インストール設定"),
        Line(kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "1013 BUTTON 131,100 84,10 スタートアップに登録する"),
        Line(kChild | BS_PUSHBUTTON | WS_TABSTOP, "1014 BUTTON 223,116 29,14 参照(&S)"),
        Line(kChild | BS_PUSHBUTTON | WS_TABSTOP, "1016 BUTTON 180,134 70,14 標準のインストール先"),
    }, {
        Line(kDialog, "210,61 9 ＭＳ Ｐゴシック | インストール中... |  | "),
        Line(kChild | WS_TABSTOP | BS_PUSHBUTTON, "2 BUTTON 73,40 64,14 中止(&S)"),
        Line(kChild | WS_GROUP | SS_RIGHT, "1018 STATIC 10,11 30,8 コピー元："),
        Line(kChild | WS_GROUP | SS_RIGHT, "1019 STATIC 10,27 30,8 コピー先："),
        Line(kField, "1003 EDIT 44,7 159,14 "),
        Line(kField, "1012 EDIT 44,23 159,14 "),
        Line(WS_CHILD | WS_GROUP | SS_CENTER, "1020 STATIC 7,15 196,15 完了"),
    }};
    const int ids[] = {IDD_SETTINGS, IDD_COPY};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("dialog " + std::to_string(ids[i]));
        driver::DialogTemplate dialog;
        ASSERT_TRUE(driver::ReadDialogTemplate(ids[i], &dialog)) << driver::LastError();
        std::vector<std::string> got = Lines(dialog);
        ASSERT_EQ(dialogs[i].size(), got.size());
        for (size_t n = 0; n < got.size(); ++n)
            EXPECT_EQ(driver::ToUtf8(dialogs[i][n]), driver::ToUtf8(got[n])) << "line " << n;
    }
}

}  // namespace
