// The install sequence: copy every listed file one per timer step, then the
// two shortcut passes and the completion. Its only contacts with the window
// system are the operations of InstallPlatform, so the same steps run in the
// copy dialog and against a recording fake in the unit tests. The progress
// lives in SectionIndex and EntryNumber (state.h).
#pragma once

// Owner of a message box.
enum BoxOwner {
    kOwnerCopyDialog = 0,
    kOwnerBackdrop = 1,
};

// Message box icons, with the values of MB_ICONWARNING / MB_ICONINFORMATION.
const int kWarningIcon = 0x30;
const int kInformationIcon = 0x40;

// Shell folders, with the values of CSIDL_PROGRAMS / CSIDL_STARTUP.
const int kProgramsFolder = 2;
const int kStartUpFolder = 7;

// One-shot timer delays: the first step waits for the dialog to be painted.
const int kFirstStepDelay = 50;
const int kNextStepDelay = 10;

struct InstallPlatform {
    void (*ArmStepTimer)(int milliseconds);     // timer 1 on the dialog
    void (*StopStepTimer)();
    void (*PostStep)(int section, int entry);   // WM_INSTALL_STEP to the dialog
    void (*PostClose)();                        // WM_CLOSE to the backdrop
    void (*SetField)(int id, const char* text); // SetDlgItemTextA
    int (*CopyOneFile)(const char* source, const char* destination, int failIfExists);
    void (*ShowBox)(int owner, const char* text, int icon);  // returns when closed
    void (*ShowControl)(int id, int show);
    void (*SetCaption)(const char* text);
    // Writes the folder's path into `path` (kPathSize bytes); 0 when the
    // platform has no such folder.
    int (*FindShellFolder)(int folder, char* path);
    int (*MakeFolderPath)(const char* path);    // CreateFolderPath
    long (*WriteShortcut)(const char* target, const char* link,
                          const char* workingDirectory, const char* description);
    void (*EndCopyDialog)();
};

// The events of the copy dialog.
void StartInstall(const InstallPlatform& platform);                 // WM_INITDIALOG
void TickInstall(const InstallPlatform& platform);                  // WM_TIMER
void RunInstallStep(const InstallPlatform& platform, int section, int entry);  // WM_INSTALL_STEP
void CancelInstall(const InstallPlatform& platform);                // IDCANCEL, IDABORT, IDCLOSE

// Helpers that read the script exactly as the install does (the medium
// checker uses them too).

// destination = directory + "\" + name (+ suffix when not null), the
// separator always inserted. Cut at kPathBound like every path; returns 1
// when the whole text fitted, 0 when it was cut.
int ComposePath(char* destination, const char* directory, const char* name,
                const char* suffix);

// Splits a shortcut line at its first "|" (which becomes a NUL): *name is the
// text before it as it stands, *target the text after it without leading
// blanks. Returns 0, touching nothing, when the line has no "|".
int SplitShortcutLine(char* line, char** name, char** target);
