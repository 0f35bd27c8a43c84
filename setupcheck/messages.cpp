#include "messages.h"

#include <cstring>

#include "display.h"
#include "script/keys.h"

namespace {

struct MessageRow {
    MessageId id;
    const char* text[kLanguageCount];  // English, Japanese
};

// The Japanese is written for Japanese vendors, not word for word: quotes
// are 「」, sizes of script text are given in bytes (a Japanese character
// counts two), and the program is called setup.exe as the vendor sees it.
const MessageRow kMessages[] = {
    {kMsgUsage,
     {"usage: setupcheck [--json] [--lang ja|en] [medium-folder]\n"
      "Checks setup.ini and the files of a Pelmora Setup medium (default: the\n"
      "current folder). --lang chooses the language of the report (default: the\n"
      "user's). Exit status: 0 nothing would fail, 1 something would, 2 no\n"
      "readable setup.ini.\n",
      "使い方: setupcheck [--json] [--lang ja|en] [メディアのフォルダ]\n"
      "Pelmora Setup のメディアにある setup.ini とファイルを検査します (フォルダを\n"
      "省略すると現在のフォルダ)。--lang は報告の言語です (省略するとユーザーの言語)。\n"
      "終了コード: 0 失敗する箇所なし、1 失敗する箇所あり、2 読める setup.ini なし。\n"}},
    {kMsgUnknownOption, {"setupcheck: unknown option %1\n", "setupcheck: 不明なオプションです: %1\n"}},
    {kMsgOneFolder,
     {"setupcheck: one medium folder at a time\n",
      "setupcheck: 一度に検査できるメディアのフォルダは一つだけです\n"}},
    {kMsgBadLanguage,
     {"setupcheck: --lang takes ja or en\n", "setupcheck: --lang には ja か en を指定してください\n"}},

    {kMsgMedium, {"setupcheck: medium %1\n", "setupcheck: メディア %1\n"}},
    {kMsgScriptSize, {"setup.ini: %1 bytes, %2 lines\n", "setup.ini: %1 バイト、%2 行\n"}},
    {kMsgAssumed,
     {"Assumed: Windows directory %1, system directory %2, medium at %3,\n"
      "         Programs folder %4; path lengths also for the install\n"
      "         folder %5 (browsing to %6)\n",
      "前提: Windows ディレクトリ %1、システム ディレクトリ %2、メディア %3、\n"
      "      プログラム フォルダ %4。パスの長さは、参照で %6 を\n"
      "      選んだときのインストール先 %5 でも確かめます\n"}},
    {kMsgNoScript,
     {"No readable setup.ini: setup.exe would stop at once with its message that setup.ini "
      "cannot be opened.\n",
      "読める setup.ini がありません。setup.exe は setup.ini を開けないというメッセージを出して、"
      "すぐに終了します。\n"}},
    {kMsgDialogHeading, {"\nSettings dialog\n", "\n設定ダイアログ\n"}},
    {kMsgBigTitle, {"Big title", "背景のタイトル"}},
    {kMsgCaption, {"Caption", "タイトル バー"}},
    {kMsgTextLine, {"Text line %1", "説明文 %1 行目"}},
    {kMsgPicture, {"Picture", "画像"}},
    {kMsgInstallFolder, {"Install folder", "インストール先"}},
    {kMsgStartMenuBox, {"Start Menu box", "スタートメニュー登録"}},
    {kMsgStartUpBox, {"StartUp box", "スタートアップ登録"}},
    {kMsgDefault, {"  (default)", "  (既定値)"}},
    {kMsgNoTextLine, {"(empty: no %1)", "(空行: %1 なし)"}},
    {kMsgPictureMissing, {"%1: not found, no picture", "%1: 見つからないため、画像は出ません"}},
    {kMsgPictureNotBitmap,
     {"%1: %2, not a bitmap, no picture", "%1: %2、ビットマップではないため、画像は出ません"}},
    {kMsgPictureSize, {"%1: %2, %3 x %4 pixels", "%1: %2、%3 x %4 ピクセル"}},
    {kMsgFolderDisabled,
     {"  (disabled and empty: [" SECTION_INSTALL "] has no line)",
      "  (操作できず空欄: [" SECTION_INSTALL "] に行がありません)"}},
    {kMsgFolderRefused,
     {"  (REFUSED by the install button)", "  (「インストール開始」で拒否されます)"}},
    {kMsgFolderStored, {"  (stored as %1)", "  (%1 として記録されます)"}},
    {kMsgChecked, {"checked", "チェックあり"}},
    {kMsgUnchecked, {"unchecked", "チェックなし"}},
    {kMsgEnabled, {"enabled", "操作できる"}},
    {kMsgDisabled, {"disabled", "操作できない"}},
    {kMsgBoxState, {"%1, %2", "%1、%2"}},
    {kMsgBoxSetting, {" (%1=%2)", " (%1=%2)"}},
    {kMsgFileMissing, {"MISSING", "見つかりません"}},
    {kMsgFileFolder, {"A FOLDER", "フォルダです"}},
    {kMsgFileFound, {"found, %1 bytes", "あり、%1 バイト"}},
    {kMsgCaseDiffers, {", case differs on disk", "、ディスク上は大文字小文字が違う名前"}},
    {kMsgUtf8Name, {", UTF-8 name on disk", "、ディスク上は UTF-8 の名前"}},
    {kMsgCopiesHeading, {"\nFiles to copy\n", "\nコピーするファイル\n"}},
    {kMsgNoFolder, {"(no folder)", "(フォルダなし)"}},
    {kMsgCopyOverwrites,
     {"  [%1] into %2, an existing file is overwritten\n",
      "  [%1] のコピー先 %2 (同じ名前のファイルは上書き)\n"}},
    {kMsgCopyKeeps,
     {"  [%1] into %2, an existing file is never replaced\n",
      "  [%1] のコピー先 %2 (同じ名前のファイルがあれば残す)\n"}},
    {kMsgNoLines, {"    (no lines)\n", "    (行なし)\n"}},
    {kMsgShortcutsHeading, {"\nShortcuts\n", "\nショートカット\n"}},
    {kMsgShortcutSection,
     {"  [%1] into %2 (when the %3 box is checked)\n", "  [%1] の作成先 %2 (「%3」にチェックがあるとき)\n"}},
    {kMsgStartMenuName, {"Start Menu", "スタートメニューに登録する"}},
    {kMsgStartUpName, {"StartUp", "スタートアップに登録する"}},
    {kMsgSkipped, {"  SKIPPED: no '|'", "  「|」がないため飛ばされます"}},
    {kMsgInstalled, {"  (installed)", "  (インストールされる)"}},
    {kMsgNotInstalled, {"  (NOT INSTALLED)", "  (インストールされない)"}},
    {kMsgFindingsHeading, {"\nFindings\n", "\n指摘事項\n"}},
    {kMsgNone, {"  none\n", "  なし\n"}},
    {kMsgLine, {"line %1", "%1 行目"}},
    {kMsgWarning, {"warning", "警告"}},
    {kMsgError, {"error", "エラー"}},
    {kMsgTotals,
     {"\nTotals: %1 files (%2 found, %3 bytes to copy), %4 shortcuts; %5 errors, %6 warnings\n",
      "\n合計: ファイル %1 個 (見つかったもの %2 個、コピーする量 %3 バイト)、ショートカット %4 個、"
      "エラー %5 件、警告 %6 件\n"}},
    {kMsgResultClean, {"Result: nothing would fail\n", "結果: 失敗する箇所はありません\n"}},
    {kMsgResultFails, {"Result: something would fail\n", "結果: 失敗する箇所があります\n"}},

    {kMsgUtf16Script,
     {"setup.ini is saved as UTF-16: setup reads it as bytes and finds no section in it; save it "
      "as Shift-JIS",
      "setup.ini が UTF-16 で保存されています。setup.exe はバイト単位で読むので、セクションが一つも"
      "見つかりません。Shift-JIS で保存し直してください"}},
    {kMsgNulByte,
     {"a NUL byte ends the script here: setup never reads the %1 bytes after it",
      "ここにある NUL バイトでスクリプトが終わります。後ろの %1 バイトを setup.exe は読みません"}},
    {kMsgBomHidesHeader,
     {"a UTF-8 byte-order mark stands before the header '%1': setup does not see the header, and "
      "the lines under it belong to no section",
      "見出し「%1」の前に UTF-8 の BOM (バイト順マーク) があります。setup.exe にはこの見出しが見えず、"
      "その下の行はどのセクションにも入りません"}},
    {kMsgBom,
     {"setup.ini begins with a UTF-8 byte-order mark, which setup reads as text of the first line",
      "setup.ini の先頭に UTF-8 の BOM (バイト順マーク) があります。setup.exe はこれを 1 行目の文字"
      "として読みます"}},
    {kMsgUtf8Script,
     {"setup.ini looks like UTF-8: setup shows its text as Shift-JIS, so Japanese text comes out "
      "garbled and Japanese file names are not found; save it as Shift-JIS",
      "setup.ini は UTF-8 で書かれているようです。setup.exe は Shift-JIS として扱うので、日本語の"
      "文字は化け、日本語のファイル名は見つかりません。Shift-JIS で保存し直してください"}},
    {kMsgLongLine,
     {"the line has %1 characters: setup reads only the first %2 and drops the rest",
      "この行は %1 バイトあります。setup.exe は先頭の %2 バイトだけを読み、残りを捨てます"}},
    {kMsgBeforeHeaderKey,
     {"key line '%1' stands before any section header: setup never reads it",
      "キーの行「%1」が最初のセクション見出しより前にあります。setup.exe はこの行を読みません"}},
    {kMsgBeforeHeaderLine,
     {"line '%1' stands before any section header: setup never reads it",
      "行「%1」が最初のセクション見出しより前にあります。setup.exe はこの行を読みません"}},
    {kMsgUnclosedHeader,
     {"the header '%1' has no ']': it closes the section instead of opening it",
      "見出し「%1」に「]」がありません。この行はセクションを開かず、前のセクションを閉じるだけです"}},
    {kMsgUnclosedHeaderLostOne,
     {"the header '%1' has no ']': it closes the section instead of opening it, so 1 entry line "
      "up to the next header goes unread",
      "見出し「%1」に「]」がありません。この行はセクションを開かず前のセクションを閉じるので、"
      "次の見出しまでの 1 行は読まれません"}},
    {kMsgUnclosedHeaderLost,
     {"the header '%1' has no ']': it closes the section instead of opening it, so %2 entry lines "
      "up to the next header go unread",
      "見出し「%1」に「]」がありません。この行はセクションを開かず前のセクションを閉じるので、"
      "次の見出しまでの %2 行は読まれません"}},
    {kMsgHeaderSuffix,
     {"the header '%1' opens [%2]: only the leading letters of a name count",
      "見出し「%1」は [%2] を開きます。名前は先頭の英字の部分だけで比べられます"}},
    {kMsgStartMenuSetSpelling,
     {"setup never reads [StartMenuSet]: the Start Menu list is [" SECTION_START_MENU_SET
      "], with no 't' after 'Star'",
      "[StartMenuSet] は setup.exe に読まれません。スタートメニューの一覧は [" SECTION_START_MENU_SET
      "] です (Star の後に t はありません)"}},
    {kMsgMisspeltSection,
     {"setup never reads the section '%1': did you mean [%2]?",
      "セクション「%1」は setup.exe に読まれません。[%2] の書き間違いではありませんか"}},
    {kMsgUnknownSection,
     {"setup does not read the section '%1'", "セクション「%1」は setup.exe が読まないセクションです"}},
    {kMsgUnknownKey,
     {"setup does not read the key '%1' of [" SECTION_INIT "]",
      "[" SECTION_INIT "] のキー「%1」は setup.exe が読まないキーです"}},
    {kMsgNoEqualsUnknown,
     {"the line '%1' in [" SECTION_INIT "] has no '=': setup passes over it",
      "[" SECTION_INIT "] の行「%1」に「=」がありません。setup.exe はこの行を飛ばします"}},
    {kMsgNoEqualsKey,
     {"the line '%1' has no '=': setup passes over it and keeps looking for %2",
      "行「%1」に「=」がありません。setup.exe はこの行を飛ばし、%2 をさらに後ろで探します"}},
    {kMsgKeySuffix,
     {"the key '%1' is read as %2: only the leading letters of a name count",
      "キー「%1」は %2 として読まれます。名前は先頭の英字の部分だけで比べられます"}},
    {kMsgRepeatedKey,
     {"%1 is set again: setup uses line %2, and never this value",
      "%1 が二度書かれています。setup.exe は %2 行目の値を使い、この値は使いません"}},
    {kMsgRepeatedEmptyKey,
     {"%1 is set again: setup uses line %2, where it is empty, so the default applies, and never "
      "this value",
      "%1 が二度書かれています。setup.exe は %2 行目を使い (値が空なので既定値になります)、この値は"
      "使いません"}},
    {kMsgLeadingBlank,
     {"the value of %1 begins with a blank, which setup keeps: %1='%2'",
      "%1 の値が空白で始まっています。setup.exe は空白も値に含めるので、値は「%2」になります"}},
    {kMsgLongTitle,
     {"BigTitle has %1 bytes: setup paints only the first %2, '%3'",
      "BigTitle は %1 バイトあります。setup.exe が描くのは先頭の %2 バイト「%3」だけです"}},
    {kMsgBitmapElsewhere,
     {"Img names '%1', a place outside the medium: the picture shows only where that file exists",
      "Img がメディアの外の「%1」を指しています。そのファイルがあるパソコンでしか画像は出ません"}},
    {kMsgMissingBitmap,
     {"Img names '%1', which is not on the medium: the dialog shows no picture",
      "Img に指定された「%1」がメディアにありません。ダイアログに画像は出ません"}},
    {kMsgNotABitmap,
     {"'%1' is not a Windows bitmap file: the dialog shows no picture",
      "「%1」は Windows のビットマップ ファイルではありません。ダイアログに画像は出ません"}},
    {kMsgLargeBitmap,
     {"the picture is %1 x %2 pixels: beyond about 147 x 117 it covers the text lines or the "
      "settings below it",
      "画像が %1 x %2 ピクセルあります。およそ 147 x 117 を超えると、説明文や下の設定欄に重なります"}},
    {kMsgBoxValue,
     {"%1=%2 leaves the %3 box unchecked: only a '1' that no digit follows checks it; write 1",
      "%1=%2 では「%3」にチェックが付きません。チェックが付くのは、後ろに数字が続かない「1」だけです。"
      "1 と書いてください"}},
    {kMsgCheckedEmptyBox,
     {"the %1 box is checked but [%2] has no line: the user cannot clear the box, and setup "
      "creates an empty Start Menu group",
      "「%1」にチェックが付いていますが、[%2] に行がありません。ユーザーはチェックを外せず、"
      "setup.exe は空のスタートメニュー グループを作ります"}},
    {kMsgProposalBadCharacter,
     {"the proposed folder '%1' holds a character the dialog refuses (%2): the user must type "
      "another folder",
      "提案するフォルダ「%1」に、ダイアログが受け付けない文字 (%2) があります。ユーザーは別の"
      "フォルダを入力しなければなりません"}},
    {kMsgProposalNameless,
     {"the proposed folder '%1' has two '\\' with nothing between them: the dialog refuses it "
      "and the user must type another folder",
      "提案するフォルダ「%1」に、間に何もない「\\」が二つあります。ダイアログはこれを拒否するので、"
      "ユーザーは別のフォルダを入力しなければなりません"}},
    {kMsgProposalChanged,
     {"the dialog proposes '%1' but stores it as '%2'",
      "ダイアログは「%1」を提案しますが、「%2」として記録します"}},
    {kMsgProposalColon,
     {"CopyDir holds ':', so the proposal '%1' is no usable folder; CopyDir is a folder name "
      "below the drive root",
      "CopyDir に「:」があるため、提案「%1」は使えるフォルダになりません。CopyDir にはドライブの"
      "ルートの下のフォルダ名を書きます"}},
    {kMsgCopyDirTrailBackslash,
     {"CopyDir holds '%1', whose second byte is '\\' (0x5C): setup takes that byte for a folder "
      "separator (browsing to %2 proposes '%3')",
      "CopyDir の「%1」は 2 バイト目が「\\」(0x5C) です。setup.exe はこのバイトをフォルダの区切り"
      "とみなします (参照で %2 を選ぶと「%3」になります)"}},
    {kMsgGroupName,
     {"StartMenuGroup holds '%1', which no folder name may hold: setup cannot create the group "
      "and makes no Start Menu shortcut",
      "StartMenuGroup に、フォルダ名に使えない「%1」があります。setup.exe はグループを作れず、"
      "スタートメニューのショートカットを一つも作りません"}},
    {kMsgGroupTrailBackslash,
     {"StartMenuGroup holds '%1', whose second byte is '\\' (0x5C): when setup creates the "
      "group's missing parents it takes that byte for a separator",
      "StartMenuGroup の「%1」は 2 バイト目が「\\」(0x5C) です。グループの親フォルダを作るとき、"
      "setup.exe はこのバイトを区切りとみなします"}},
    {kMsgLongInstallPath,
     {"the destination of '%1' is longer than %2 characters in '%3' or '%4': setup cuts it and "
      "copies to a wrong name",
      "「%1」のコピー先は「%3」か「%4」の中で %2 バイトを超えます。setup.exe はパスを切り詰め、"
      "違う名前にコピーします"}},
    {kMsgLongPath,
     {"the destination of '%1' is longer than %2 characters: setup cuts it and copies to a wrong "
      "name",
      "「%1」のコピー先が %2 バイトを超えます。setup.exe はパスを切り詰め、違う名前にコピーします"}},
    {kMsgBadName,
     {"'%1' holds '%2', which no Windows file name may hold: the copy fails",
      "「%1」に、Windows のファイル名に使えない「%2」があります。コピーは失敗します"}},
    {kMsgSubfolderInstall,
     {"'%1' goes into the folder '%2', which setup does not create in '%3': the copy fails",
      "「%1」はフォルダ「%2」に入りますが、setup.exe は「%3」の中にこのフォルダを作りません。"
      "コピーは失敗します"}},
    {kMsgSubfolderElsewhere,
     {"'%1' is copied only where '%2' already exists",
      "「%1」は「%2」がすでにあるパソコンでしかコピーされません"}},
    {kMsgTrailingBlank,
     {"'%1' ends in blanks, which setup keeps in the name (Windows then drops them)",
      "「%1」は空白で終わっています。setup.exe は空白を付けたまま名前を渡します (Windows が"
      "落とします)"}},
    {kMsgFailsWithBox, {"the copy fails with a warning box", "コピーは失敗し、警告のメッセージが出ます"}},
    {kMsgFailsSilently, {"the copy fails without a message", "コピーはメッセージなしで失敗します"}},
    {kMsgMissingSource, {"'%1' is not on the medium: %2", "「%1」がメディアにありません。%2"}},
    {kMsgSourceIsFolder,
     {"'%1' is a folder on the medium, not a file: %2",
      "「%1」はメディア上でファイルではなくフォルダです。%2"}},
    {kMsgNoBar,
     {"the shortcut line '%1' has no '|' between name and target: setup skips it",
      "ショートカットの行「%1」に、名前と対象を分ける「|」がありません。setup.exe はこの行を"
      "飛ばします"}},
    {kMsgTrailBar,
     {"the shortcut line holds '%1', whose second byte is '|' (0x7C): setup splits the line there",
      "ショートカットの行にある「%1」は 2 バイト目が「|」(0x7C) です。setup.exe は行をそこで"
      "分けてしまいます"}},
    {kMsgLongLinkPath,
     {"the link or target path of '%1' is longer than %2 characters: setup cuts it",
      "「%1」のリンク ファイルか対象のパスが %2 バイトを超えます。setup.exe はパスを切り詰めます"}},
    {kMsgLinkName,
     {"the shortcut name '%1' holds '%2', which no file name may hold: the link is not written",
      "ショートカット名「%1」に、ファイル名に使えない「%2」があります。リンクは作られません"}},
    {kMsgEmptyName,
     {"the shortcut has no name: setup writes a link named '.lnk'",
      "ショートカットに名前がありません。setup.exe は「.lnk」という名前のリンクを作ります"}},
    {kMsgNameBlank,
     {"the blanks before '|' stay in the name: the link file is '%1'",
      "「|」の前の空白も名前に残ります。リンク ファイルは「%1」になります"}},
    {kMsgTargetNotInstalled,
     {"the shortcut '%1' points at '%2', which [" SECTION_INSTALL "] does not install",
      "ショートカット「%1」の対象「%2」は [" SECTION_INSTALL "] でインストールされません"}},
};

static_assert(sizeof kMessages / sizeof *kMessages == kMessageCount, "a row for every message");

}  // namespace

const char* MessageText(Language language, MessageId id)
{
    return kMessages[id].text[language];
}

MessageId MessageRowId(MessageId id)
{
    return kMessages[id].id;
}

std::string Message(Language language, MessageId id, std::initializer_list<MessageArg> args)
{
    // "%" and the digits are no Shift-JIS trail bytes, so a byte-wise scan
    // finds only real placeholders.
    const char* text = MessageText(language, id);
    std::string out;
    std::string piece;
    for (const char* c = text; *c != '\0'; ++c) {
        size_t index = static_cast<size_t>(c[1] - '1');
        if (*c != '%' || c[1] < '1' || c[1] > '9' || index >= args.size()) {
            piece += *c;
            continue;
        }
        out += SjisToUtf8(piece);
        piece.clear();
        const MessageArg& arg = args.begin()[index];
        if (arg.phrase >= 0)
            out += Message(language, static_cast<MessageId>(arg.phrase));
        else
            out += arg.utf8 ? arg.text : SjisToUtf8(arg.text);
        ++c;
    }
    return out + SjisToUtf8(piece);
}

Language LanguageOfLocale(const char* all, const char* messages, const char* lang)
{
    const char* deciding = nullptr;
    for (const char* value : {all, messages, lang}) {
        if (value != nullptr && *value != '\0') {
            deciding = value;
            break;
        }
    }
    return deciding != nullptr && std::strncmp(deciding, "ja", 2) == 0 ? kJapanese : kEnglish;
}
