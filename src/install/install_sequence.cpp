#include "install_sequence.h"

#include "../../res/resource.h"
#include "../script/keys.h"
#include "../script/script.h"
#include "../script/text.h"
#include "../shell/state.h"  // the process state the install reads and writes

static const int kLastSection = 2;

// Set by cancel. The boxes of the finish sequence leave the copy dialog
// enabled, so its button may cancel inside them; the backdrop then frees the
// script before the box returns.
static int InstallCancelled;

static int AppendWhole(char* destination, const char* text)
{
    int added = AppendText(destination, text, kPathBound);
    return text[added] == '\0';
}

int ComposePath(char* destination, const char* directory, const char* name,
                const char* suffix)
{
    int length = CopyText(destination, directory, kPathBound);
    int whole = directory[length] == '\0';
    // Always a separator, even after a drive root: D:\ gives D:\\name.
    whole &= AppendWhole(destination, "\\");
    whole &= AppendWhole(destination, name);
    if (suffix != nullptr)
        whole &= AppendWhole(destination, suffix);
    return whole;
}

int SplitShortcutLine(char* line, char** name, char** target)
{
    char* bar = FindChar(line, '|');
    if (bar == nullptr)
        return 0;
    *bar = '\0';
    *name = line;
    *target = SkipBlanks(bar + 1);
    return 1;
}

static int FinishGoesOn()
{
    return InstallCancelled == 0 && ScriptText != nullptr;
}

void StartInstall(const InstallPlatform& platform)
{
    InstallCancelled = 0;
    SectionIndex = 0;
    EntryNumber = 1;
    platform.ArmStepTimer(kFirstStepDelay);
}

void TickInstall(const InstallPlatform& platform)
{
    // One tick per arming: the next step is armed only when this one is done,
    // so steps never overlap.
    platform.StopStepTimer();
    platform.PostStep(SectionIndex, EntryNumber);
}

void CancelInstall(const InstallPlatform& platform)
{
    InstallCancelled = 1;
    platform.PostClose();
    platform.EndCopyDialog();
}

// Copies one entry; `entry` (kPathSize bytes) is reused for the warning.
static void CopyEntry(const InstallPlatform& platform, int section, char* entry)
{
    char source[kPathSize];
    char destination[kPathSize];
    int whole = ComposePath(source, SourceDir, entry, nullptr);
    platform.SetField(IDC_SOURCE_PATH, source);
    whole &= ComposePath(destination, InstallTargets[section], entry, nullptr);
    platform.SetField(IDC_DESTINATION_PATH, destination);
    // A path cut at the bound names another file: no copy beats a wrong one.
    int copied = whole && platform.CopyOneFile(source, destination, section != 0);
    if (copied || section != 0)
        return;
    CopyText(entry, "コピーできませんでした：", kPathBound);
    AppendText(entry, source, kPathBound);
    AppendText(entry, " -> ", kPathBound);
    AppendText(entry, destination, kPathBound);
    platform.ShowBox(kOwnerCopyDialog, entry, kWarningIcon);
}

// ShellFolderDir = the platform's folder, never a stale or empty one.
static int FindFolder(const InstallPlatform& platform, int folder)
{
    ShellFolderDir[0] = '\0';
    return platform.FindShellFolder(folder, ShellFolderDir) != 0 && ShellFolderDir[0] != '\0';
}

// Lines go through WindowsDir, targets through SystemDir: the copy steps are
// over and nothing reads those directories again. `link` is kPathSize bytes.
static void WriteShortcuts(const InstallPlatform& platform, const char* section, char* link)
{
    for (int n = 1; FinishGoesOn() &&
                    GetScriptLine(ScriptText, section, n, WindowsDir, kPathSize) != 0; ++n) {
        char* name;
        char* target;
        if (SplitShortcutLine(WindowsDir, &name, &target) == 0)
            continue;
        if (ComposePath(link, ShellFolderDir, name, ".lnk") &&
            ComposePath(SystemDir, InstallDir, target, nullptr))
            platform.WriteShortcut(SystemDir, link, InstallDir, target);
    }
}

static void StartMenuPass(const InstallPlatform& platform, char* work)
{
    int ready = FindFolder(platform, kProgramsFolder);
    if (ready) {
        if (GetScriptValue(ScriptText, SECTION_INIT, KEY_START_MENU_GROUP, work, kPathSize) == 0)
            CopyText(work, DEFAULT_FOLDER_NAME, kPathBound);
        ready = ComposePath(ShellFolderDir, ShellFolderDir, work, nullptr) &&
                platform.MakeFolderPath(ShellFolderDir) != 0;
    }
    if (ready)
        WriteShortcuts(platform, SECTION_START_MENU_SET, work);
    else
        platform.ShowBox(kOwnerBackdrop, "スタートメニューのグループの登録に失敗しました",
                         kWarningIcon);
}

static void FinishInstall(const InstallPlatform& platform, char* work)
{
    platform.ShowControl(IDC_SOURCE_LABEL, 0);
    platform.ShowControl(IDC_DESTINATION_LABEL, 0);
    platform.ShowControl(IDC_SOURCE_PATH, 0);
    platform.ShowControl(IDC_DESTINATION_PATH, 0);
    if (RegisterStartMenu != 0)
        StartMenuPass(platform, work);
    // Without a StartUp folder there is nowhere to write; no message either.
    if (RegisterStartUp != 0 && FinishGoesOn() && FindFolder(platform, kStartUpFolder))
        WriteShortcuts(platform, SECTION_START_UP_SET, work);
    if (!FinishGoesOn())
        return;
    platform.ShowControl(IDC_DONE_MARK, 1);
    platform.SetCaption(kProgramCaption);
    platform.SetField(IDC_STOP_BUTTON, "終了(&E)");
    platform.ShowBox(kOwnerBackdrop, "インストールが完了しました", kInformationIcon);
    // Cancelled inside the box: the close has been posted already.
    if (FinishGoesOn())
        platform.PostClose();
}

void RunInstallStep(const InstallPlatform& platform, int section, int entry)
{
    // The dialog posts steps only to itself; anything else, or a step left in
    // the queue after the backdrop has freed the script, is not run.
    if (section < 0 || section > kLastSection || entry < 1 || ScriptText == nullptr)
        return;
    // The first step makes the folder; its failure shows in the copies.
    if (section == 0 && entry == 1)
        platform.MakeFolderPath(InstallDir);
    char entryText[kPathSize];
    if (GetScriptLine(ScriptText, InstallSections[section], entry, entryText, kPathSize) != 0) {
        CopyEntry(platform, section, entryText);
        SectionIndex = section;
        EntryNumber = entry + 1;
        platform.ArmStepTimer(kNextStepDelay);
    } else if (InstallSections[section + 1] != nullptr) {
        SectionIndex = section + 1;
        EntryNumber = 1;
        platform.ArmStepTimer(kNextStepDelay);
    } else {
        FinishInstall(platform, entryText);
    }
}
