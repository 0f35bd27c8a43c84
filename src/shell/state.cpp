#include "state.h"

#include "../script/keys.h"

const char kProgramCaption[] = "ぺるもらセットアップ プログラム";

char* ScriptText;
char BigTitleText[kBigTitleSize];
int BigTitleLength;

char SourceDir[kPathSize];
char WindowsDir[kPathSize];
char SystemDir[kPathSize];
char InstallDir[kPathSize];
char ShellFolderDir[kPathSize];

int RegisterStartMenu;
int RegisterStartUp;
int InstallLatch;

int SectionIndex;
int EntryNumber;

const char* const InstallSections[4] = {
    SECTION_INSTALL, SECTION_INSTALL_WINDOWS, SECTION_INSTALL_SYSTEM, nullptr};
char* const InstallTargets[4] = {InstallDir, WindowsDir, SystemDir, nullptr};
