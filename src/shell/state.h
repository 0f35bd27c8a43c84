// Process-wide state, declared once. All of it is zero at process start.
// Each variable is written by one stage of the run and read by the next:
// start-up -> settings dialog -> install sequence. Window-system handles live
// in handles.h so that this header stays portable.
#pragma once

#include "../script/text.h"

// Size of the big title buffer (127 characters and the NUL).
const int kBigTitleSize = 128;

// Private message: to the backdrop an install request, inside the copy
// dialog the step message (wParam section index, lParam entry number).
#define WM_INSTALL_STEP (0x0400 + 100)  // WM_USER + 100

// Caption of the backdrop window and of every message box.
extern const char kProgramCaption[];

extern char* ScriptText;            // setup.ini + NUL; start-up loads, backdrop frees on close
extern char BigTitleText[kBigTitleSize];  // start-up writes, backdrop paints
extern int BigTitleLength;          // start-up writes, backdrop paints

extern char SourceDir[kPathSize];   // current directory at start-up; install reads
extern char WindowsDir[kPathSize];  // start-up; install copies there, shortcut passes reuse it
extern char SystemDir[kPathSize];   // start-up; install copies there, shortcut passes reuse it
extern char InstallDir[kPathSize];  // start-up (drive root), settings (final), install reads
extern char ShellFolderDir[kPathSize];  // install: Start Menu group or StartUp folder

extern int RegisterStartMenu;       // settings sets to 1, install reads
extern int RegisterStartUp;         // settings sets to 1, install reads
extern int InstallLatch;            // backdrop: once 1, install requests are ignored

extern int SectionIndex;            // install: section of the next step (0..2)
extern int EntryNumber;             // install: entry of the next step (1..)

// Copy sections in processing order and their destinations, each ended by a
// null entry.
extern const char* const InstallSections[4];
extern char* const InstallTargets[4];
