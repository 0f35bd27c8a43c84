// Every text setupcheck prints, in English and in Japanese: one table with
// a row a message. The finding codes and the JSON form are the same in both
// languages; only the text report and the command-line messages change.
#pragma once

#include <initializer_list>
#include <string>

enum Language {
    kEnglish = 0,
    kJapanese = 1,
    kLanguageCount = 2,
};

enum MessageId {
    // The command line.
    kMsgUsage,
    kMsgUnknownOption,
    kMsgOneFolder,
    kMsgBadLanguage,
    // The report.
    kMsgMedium,
    kMsgScriptSize,
    kMsgAssumed,
    kMsgNoScript,
    kMsgDialogHeading,
    kMsgBigTitle,
    kMsgCaption,
    kMsgTextLine,
    kMsgPicture,
    kMsgInstallFolder,
    kMsgStartMenuBox,
    kMsgStartUpBox,
    kMsgDefault,
    kMsgNoTextLine,
    kMsgPictureMissing,
    kMsgPictureNotBitmap,
    kMsgPictureSize,
    kMsgFolderDisabled,
    kMsgFolderRefused,
    kMsgFolderStored,
    kMsgChecked,
    kMsgUnchecked,
    kMsgEnabled,
    kMsgDisabled,
    kMsgBoxState,
    kMsgBoxSetting,
    kMsgFileMissing,
    kMsgFileFolder,
    kMsgFileFound,
    kMsgCaseDiffers,
    kMsgUtf8Name,
    kMsgCopiesHeading,
    kMsgNoFolder,
    kMsgCopyOverwrites,
    kMsgCopyKeeps,
    kMsgNoLines,
    kMsgShortcutsHeading,
    kMsgShortcutSection,
    kMsgStartMenuName,
    kMsgStartUpName,
    kMsgSkipped,
    kMsgInstalled,
    kMsgNotInstalled,
    kMsgFindingsHeading,
    kMsgNone,
    kMsgLine,
    kMsgWarning,
    kMsgError,
    kMsgTotals,
    kMsgResultClean,
    kMsgResultFails,
    // The findings.
    kMsgUtf16Script,
    kMsgNulByte,
    kMsgBomHidesHeader,
    kMsgBom,
    kMsgUtf8Script,
    kMsgLongLine,
    kMsgBeforeHeaderKey,
    kMsgBeforeHeaderLine,
    kMsgUnclosedHeader,
    kMsgUnclosedHeaderLostOne,
    kMsgUnclosedHeaderLost,
    kMsgHeaderSuffix,
    kMsgStartMenuSetSpelling,
    kMsgMisspeltSection,
    kMsgUnknownSection,
    kMsgUnknownKey,
    kMsgNoEqualsUnknown,
    kMsgNoEqualsKey,
    kMsgKeySuffix,
    kMsgRepeatedKey,
    kMsgRepeatedEmptyKey,
    kMsgLeadingBlank,
    kMsgLongTitle,
    kMsgBitmapElsewhere,
    kMsgMissingBitmap,
    kMsgNotABitmap,
    kMsgLargeBitmap,
    kMsgBoxValue,
    kMsgCheckedEmptyBox,
    kMsgProposalBadCharacter,
    kMsgProposalNameless,
    kMsgProposalChanged,
    kMsgProposalColon,
    kMsgCopyDirTrailBackslash,
    kMsgGroupName,
    kMsgGroupTrailBackslash,
    kMsgLongInstallPath,
    kMsgLongPath,
    kMsgBadName,
    kMsgSubfolderInstall,
    kMsgSubfolderElsewhere,
    kMsgTrailingBlank,
    kMsgFailsWithBox,
    kMsgFailsSilently,
    kMsgMissingSource,
    kMsgSourceIsFolder,
    kMsgNoBar,
    kMsgTrailBar,
    kMsgLongLinkPath,
    kMsgLinkName,
    kMsgEmptyName,
    kMsgNameBlank,
    kMsgTargetNotInstalled,
    kMessageCount
};

// The text of a message: Shift-JIS (as every narrow literal is), with %1 to
// %9 where its arguments go.
const char* MessageText(Language language, MessageId id);
// The row of the table for id, for the test that checks the table's order.
MessageId MessageRowId(MessageId id);

// One argument of a message: script bytes (Shift-JIS) or ASCII, the same in
// every language; text that is UTF-8 already (a path from the command line);
// or a phrase of the table, taken in the language of the message.
struct MessageArg {
    MessageArg(const std::string& sjis) : text(sjis) {}
    MessageArg(const char* sjis) : text(sjis) {}
    MessageArg(MessageId id) : phrase(id) {}
    static MessageArg Utf8(const std::string& utf8)
    {
        MessageArg arg(utf8);
        arg.utf8 = true;
        return arg;
    }

    std::string text;
    bool utf8 = false;
    int phrase = -1;
};

// The message as UTF-8 with its arguments in place. Each piece is converted
// on its own, so a cut character at the end of an argument cannot swallow
// the text that follows it.
std::string Message(Language language, MessageId id, std::initializer_list<MessageArg> args = {});

// The language of a POSIX locale: Japanese when the locale that decides
// messages (LC_ALL, else LC_MESSAGES, else LANG; null or empty when unset)
// starts with "ja", English otherwise.
Language LanguageOfLocale(const char* all, const char* messages, const char* lang);
