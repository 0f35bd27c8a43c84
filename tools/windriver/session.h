// One session of setup.exe, as the end-to-end tests and the demo take
// it: a medium laid out from a list of entries, setup.exe started on it, the
// settings dialog confirmed, every message box of the copy dialog read and
// answered, and the user's cancel at the point a test asks for. What lands
// on disk is read back as a short text per path (Describe), so that a test
// can hold its expectations in a table.
//
// Like the driver, nothing here asserts: a call that fails returns null or
// false and leaves its reason in LastError().
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resource.h"

namespace driver {

// Texts the program shows.
extern const char kDefaultCaption[];
extern const char kCopyCaption[];
extern const char kCompletion[];
extern const char kGroupFailure[];
extern const char kCannotCopy[];

// Attribute that Lay() does not set but imitates: another program holds the
// file open without sharing until the Session ends.
const DWORD kHeldOpen = 0x80000000;

// A path and what stands there: a path ending in "\" is a folder, made with
// its parents; anything else a file with these bytes.
struct Entry {
    std::string path;
    std::string bytes;
    DWORD attributes = 0;
};
using Entries = std::vector<Entry>;

// The controls of a dialog template of setup.exe's Japanese resources, in
// the template's order: their ids and styles, and the dialog's own style.
struct TemplateItem {
    int id;
    DWORD style;
};
struct DialogTemplate {
    DWORD style = 0;
    std::vector<TemplateItem> items;
};
bool ReadDialogTemplate(int id, DialogTemplate* dialog);

// The settings dialog as the user reads it, joined by " / ": the text lines
// joined by "|", the proposal in the edit, then the controls' states:
// "picture" when the bitmap shows (at its own size, wider than the
// template's), each box "menu[x]" or "up[ ]", "~" before what is disabled,
// and "folder" for the label, edit, browse and default button together.
std::string SettingsView(HWND settings);

// The backdrop's title band: 64-pixel letters and their shadow 8 pixels lower.
const int kTitleBand = 90;
// The screen once the backdrop has painted: the ramp's end in the bottom row,
// and the title band and both edges holding still between two looks.
bool CaptureBackdrop(Screenshot* shot, int timeoutMs = 10000);

// A shortcut loaded through the shell's own link object.
struct LinkFields {
    HRESULT loaded = E_FAIL;
    std::string target;
    std::string workingDirectory;
    std::string description;
};
LinkFields ReadLink(const std::string& link);

// What stands at path, as one line of text: "<missing>", "<folder a b>"
// (the names in it, sorted), "<link TARGET in FOLDER : DESCRIPTION>" for a
// shortcut the shell loads, or a file's bytes, after "<read-only>" and
// "<hidden>" where it carries those attributes.
std::string Describe(const std::string& path);

// The folder browser of process pid: a dialog with a tree view.
HWND WaitForFolderBrowser(DWORD pid, int timeoutMs = kWaitMs);
// Selects path in the browser as a click in its tree would.
bool SelectFolder(HWND browser, DWORD pid, const std::string& path);

// Where the user cancels: in the settings dialog instead of installing, or
// at a moment of the copy dialog's walk (its stop button).
enum class Cancel {
    kNever,
    kEscape,          // in the settings dialog: the Esc key,
    kCloseBox,        // or its close box
    kBeforeFirstStep, // as soon as the copy dialog is up, the program held still
    kWhenShown,       // once the copy dialog's source field shows the mark
    kAfterFirstBox,   // once the first box is closed
    kUnderBox,        // while the box that reads the mark is up
};

// What the user met on the way.
struct Walk {
    std::vector<std::string> boxes;   // texts of every box, in order
    std::vector<std::string> views;   // the copy dialog under each box: its caption
                                      // and visible texts, joined by " | "
    std::vector<std::string> shown;   // each new text of the source field
    std::string inputs;  // under each box: '+' the copy dialog takes input, '-' not
    bool early = true;  // kBeforeFirstStep: the mark path was not yet there
    DWORD exitCode = 99;
};

// One setup.exe and the paths it may touch, ended and removed when the
// session goes.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Replaces %M (medium), %I (install folder as typed), %W (Windows),
    // %S (system), %P (Start Menu programs), %U (StartUp) and %D (drive
    // root of the Windows directory, "C:\").
    std::string Expand(const std::string& text) const;
    // Removes the path now and again when the session ends; never a folder
    // of the system.
    void Clean(const std::string& path);
    // Lays the entries out below base ("" for full paths), then gives each
    // its attributes, so that a read-only folder still gets its files.
    bool Lay(const std::string& base, const Entries& entries);
    // A fresh medium folder named name holding setup.ini and the entries,
    // or, where at is given, that folder (an absolute one, or one below the
    // fresh folder when at starts with "\"). Becomes %M.
    std::string Medium(const std::string& name, const std::string& script,
                       const Entries& entries = {}, const std::string& at = "");

    // Starts setup.exe (or exe) in dir and waits for the settings dialog; a
    // null caption accepts any.
    HWND Open(const std::string& dir, const char* caption = kDefaultCaption,
              int timeoutMs = kWaitMs, const std::string& exe = "");
    // Types the install folder (becomes %I), ticks the boxes asked for,
    // presses install and answers every box until the program ends,
    // cancelling where `when` says. mark: the text of kWhenShown and
    // kUnderBox, the path of kBeforeFirstStep.
    bool Install(HWND settings, const std::string& typed, bool startMenu, bool startUp,
                 Cancel when, const std::string& mark, Walk* walk);

    // Closes the files held open for kHeldOpen.
    void LetGo();

    Setup setup;
    HWND copy = nullptr;
    std::string medium, installDir;

private:
    bool FindCopyDialog();
    bool StopHeldStill(const std::string& path, Walk* walk);
    bool WalkCopyDialog(int moment, const std::string& mark, Walk* walk);
    bool Finish(Walk* walk);
    std::vector<std::string> cleanUp_;
    std::vector<HANDLE> held_;
};

}  // namespace driver
