#include "settings_logic.h"

#include "../script/keys.h"
#include "../script/text.h"
#include "state.h"

const char kForbiddenCharacters[] = "/:*?\"<>|";

const char kNamelessFolderMessage[] = "名無しのフォルダが指定されています。";

int IsDefaultBoxChecked(const char* value)
{
    const char* one = FindChar(value, '1');
    if (one == nullptr)
        return 0;
    // The NUL after a final "1" is not a digit either.
    return (one[1] < '0' || one[1] > '9') ? 1 : 0;
}

void ProposeInstallDir(char* installDir, const char* copyDir)
{
    if (copyDir == nullptr || copyDir[0] == '\0')
        copyDir = DEFAULT_FOLDER_NAME;
    // installDir is a drive root ending in "\", so no separator is added.
    AppendText(installDir, copyDir, kPathBound);
}

static int HasForbiddenCharacter(const char* text)
{
    for (const char* character = kForbiddenCharacters; *character != '\0'; ++character) {
        if (*character != ':' && FindChar(text, *character) != nullptr)
            return 1;
    }
    return 0;
}

int CheckInstallEntry(char* text, char* installDir)
{
    char* start = SkipBlanks(text);
    if (HasForbiddenCharacter(start))
        return kEntryBadCharacter;
    char* position = start;
    for (;;) {
        char* backslash = FindChar(position, '\\');
        if (backslash == nullptr)
            break;
        char* next = SkipBlanks(backslash + 1);
        if (*next == '\\')
            return kEntryNamelessFolder;
        if (*next == '\0') {
            // A final separator is dropped, so C:\ is stored as C:.
            *backslash = '\0';
            break;
        }
        position = backslash + 1;
    }
    CopyText(installDir, start, kPathBound);
    return kEntryAccepted;
}

static const char* FindLastChar(const char* text, char character)
{
    const char* last = nullptr;
    for (const char* hit = FindChar(text, character); hit != nullptr;
         hit = FindChar(hit + 1, character))
        last = hit;
    return last;
}

static char FoldAsciiCase(char byte)
{
    return (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 'a' + 'A') : byte;
}

static int IsSameFolderName(const char* left, const char* right)
{
    while (*left != '\0' && FoldAsciiCase(*left) == FoldAsciiCase(*right)) {
        ++left;
        ++right;
    }
    return *left == '\0' && *right == '\0';
}

void ComposeBrowsedPath(char* path, const char* installDir)
{
    // The browser gave no file-system path: nothing to compose onto.
    if (path[0] == '\0')
        return;
    const char* tail = FindLastChar(installDir, '\\');
    // No folder name in the proposal: the chosen folder is the answer.
    if (tail == nullptr)
        return;
    const char* name = tail + 1;
    const char* chosen = FindLastChar(path, '\\');
    // A path without any separator is a folder name of its own.
    const char* chosenName = (chosen != nullptr) ? chosen + 1 : path;
    if (IsSameFolderName(chosenName, name))
        return;
    if (chosen == nullptr || chosen[1] != '\0')
        AppendText(path, "\\", kPathBound);
    AppendText(path, name, kPathBound);
}

void ComposeCharacterMessage(char* text)
{
    CopyText(text, "ファイル名に  ", kPathBound);
    AppendText(text, kForbiddenCharacters, kPathBound);
    AppendText(text, "  の文字は使えません。", kPathBound);
}
