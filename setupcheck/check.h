// What setup.exe will do with a medium and what will go wrong, worked out
// from setup.ini by the same reader and decision code that setup.exe runs.
//
// Every text in a Report is kept as the script's own bytes (Shift-JIS); only
// the findings' messages are UTF-8 already, one for each language.
#pragma once

#include <string>
#include <vector>

#include "messages.h"
#include "script/keys.h"

// Where the report assumes setup.exe runs. Typical for the machines setup.exe
// targets; the report header states them.
extern const char kAssumedWindowsDir[];    // C:\WINDOWS
extern const char kAssumedSystemDir[];     // C:\WINDOWS\SYSTEM
extern const char kAssumedDriveRoot[];     // C:\ (the drive of the Windows directory)
extern const char kAssumedSourceDir[];     // D:\ (the medium's root)
extern const char kAssumedProgramsDir[];   // the Start Menu's Programs folder
extern const char kAssumedStartUpDir[];    // the StartUp folder
extern const char kAssumedBrowseParent[];  // C:\Program Files, where users often browse to

// How a name of the script was found on the medium.
enum FileMatch {
    kMatchExact = 0,     // the same bytes
    kMatchCase = 1,      // differs only in ASCII case (Windows does not mind)
    kMatchUtf8Name = 2,  // the disk holds the name in UTF-8 (a Linux folder)
};

struct FileState {
    bool found = false;
    bool folder = false;
    unsigned long long size = 0;
    int match = kMatchExact;
};

// The medium's files, as the checker's host sees them. Names are the script's
// bytes, relative to the medium, with "\" as separator.
class Medium {
public:
    virtual ~Medium() = default;
    virtual FileState Probe(const std::string& relative) = 0;
    // Up to `limit` bytes of a file; false when it cannot be read.
    virtual bool Read(const std::string& relative, size_t limit, std::string* bytes) = 0;
};

enum Severity {
    kWarning = 1,
    kError = 2,
};

struct Finding {
    Severity severity;
    int line;              // 1-based line of setup.ini, 0 when none applies
    std::string code;      // stable identifier, e.g. "missing-source"
    std::string message[kLanguageCount];  // UTF-8
};

// One key of [init] as the dialog reads it.
struct KeyValue {
    std::string key;
    bool present = false;  // the lookup gave a non-empty value
    std::string value;
    int line = 0;          // the key line that decides
};

struct Bitmap {
    std::string name;      // Img, or the default name
    bool named = false;    // Img was given
    FileState file;
    bool valid = false;    // a Windows bitmap file
    int width = 0;
    int height = 0;
};

struct Box {
    KeyValue setting;
    bool checked = false;
    bool enabled = false;
};

struct CopyEntry {
    int line = 0;
    std::string name;           // the entry as GetScriptLine gives it
    FileState source;
    std::string destination;    // under the assumed folders
    bool inSubfolder = false;
};

struct CopySection {
    std::string name;
    std::string directory;      // destination directory under the assumptions
    bool overwrites = false;    // only [Install] replaces existing files
    std::vector<CopyEntry> entries;
};

struct Shortcut {
    int line = 0;
    std::string text;           // the whole line
    bool skipped = false;       // no "|": setup passes over it
    std::string name;
    std::string linkFile;       // name + ".lnk"
    std::string target;
    std::string targetPath;     // inside the install folder
    bool installed = false;     // [Install] lists the target
};

struct ShortcutSection {
    std::string name;
    std::string folder;         // where the links go under the assumptions
    std::vector<Shortcut> shortcuts;
};

struct Report {
    size_t scriptBytes = 0;
    int scriptLines = 0;

    KeyValue bigTitle;           // value shown, default when absent
    KeyValue caption;
    KeyValue textLines[kTextLineCount];
    Bitmap bitmap;
    KeyValue copyDir;
    std::string proposedDir;     // as the dialog proposes it
    std::string installDir;      // as the install button stores the proposal (the
                                 // proposal itself when refused; empty when [Install] is)
    bool proposalAccepted = false;
    bool folderEnabled = false;  // [Install] has an entry
    std::string browsedDir;      // the proposal after browsing to kAssumedBrowseParent
    Box startMenu;
    Box startUp;
    KeyValue startMenuGroup;

    CopySection copies[3];
    ShortcutSection shortcuts[2];

    std::vector<Finding> findings;

    int files = 0;                 // copy entries
    int filesFound = 0;
    unsigned long long bytes = 0;  // total size of the sources found
    int shortcutCount = 0;         // shortcut lines that make a link
    int errors = 0;
    int warnings = 0;
};

// Analyses `script`, the bytes of setup.ini (setup.exe reads them up to the
// first NUL), against the files of `medium`.
Report CheckMedium(const std::string& script, Medium& medium);

// 0 when nothing would fail, 1 when something would.
int ExitStatus(const Report& report);
