// What the settings dialog decides, apart from the dialog itself: the
// initial state of a shortcut box, the proposed install directory, the check
// of a typed entry and the path that browsing proposes. All byte-oriented: a
// Shift-JIS trail byte 0x5C or 0x7C counts as a backslash or a vertical bar.
#pragma once

// Characters refused in an install directory, in the order the message lists
// them. The colon is listed but never refuses an entry: drive letters need it.
extern const char kForbiddenCharacters[];

// Results of CheckInstallEntry.
enum EntryCheck {
    kEntryAccepted = 0,        // installDir holds the entry
    kEntryBadCharacter = 1,    // a character of kForbiddenCharacters other than ":"
    kEntryNamelessFolder = 2,  // two backslashes with only blanks between them
};

// 1 when the first "1" of a DefaultRegist... value is not followed by a
// decimal digit (so 1 and 21 check the box, 11 and 10 do not), else 0.
int IsDefaultBoxChecked(const char* value);

// Appends the script's folder name (or the default one when copyDir is null
// or empty) to installDir, which holds a drive root such as C:\. No separator
// is inserted. Bound kPathBound.
void ProposeInstallDir(char* installDir, const char* copyDir);

// Checks the edit's text (a kPathSize buffer, modified in place: a final
// backslash and the blanks after it are cut). On kEntryAccepted installDir
// holds the text without its leading blanks; otherwise it is untouched.
int CheckInstallEntry(char* text, char* installDir);

// Turns the folder browser's path (a kPathSize buffer) into what the edit
// shows: the path plus the last folder name of installDir, unless the path
// already ends in that name (ASCII letters compared without case). An empty
// path stays empty.
void ComposeBrowsedPath(char* path, const char* installDir);

// The message for a refused character, listing every forbidden character,
// into a kPathSize buffer.
void ComposeCharacterMessage(char* text);

// The message for two backslashes with nothing but blanks between them.
extern const char kNamelessFolderMessage[];
