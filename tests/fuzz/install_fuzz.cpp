// Fuzz target for the install sequence: a random script and random answers
// from the platform (copies that fail, shell folders that do not exist,
// folders that cannot be made, a cancel inside the finish boxes). The steps
// must always run to their end, exactly k0 + k1 + k2 + 3 of them, hand the
// platform only terminated paths within 259 characters, and never touch the
// script after a cancel has freed it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "install/install_sequence.h"
#include "script/script.h"
#include "shell/state.h"

namespace {

const uint8_t* Choices;
size_t ChoiceCount;
size_t ChoiceAt;
int TimerArmed;
int PendingSection = -1;
int PendingEntry;
int Ended;
int Closed;

int Choose()
{
    return ChoiceCount == 0 ? 0 : Choices[ChoiceAt++ % ChoiceCount];
}

void CheckPath(const char* path)
{
    if (path == nullptr || memchr(path, '\0', kPathSize) == nullptr)
        abort();
}

void ArmStepTimer(int) { TimerArmed = 1; }
void StopStepTimer() { TimerArmed = 0; }
void PostStep(int section, int entry)
{
    PendingSection = section;
    PendingEntry = entry;
}
void PostClose() { Closed = 1; }
void SetField(int, const char* text) { CheckPath(text); }
int CopyOneFile(const char* source, const char* destination, int)
{
    CheckPath(source);
    CheckPath(destination);
    return Choose() & 1;
}
void CancelFromBox();
void ShowBox(int owner, const char* text, int)
{
    CheckPath(text);
    // The finish boxes leave the copy dialog enabled: its button may cancel
    // inside them, and the backdrop then frees the script.
    if (owner == kOwnerBackdrop && (Choose() & 3) == 0)
        CancelFromBox();
}
void ShowControl(int, int) {}
void SetCaption(const char*) {}
int FindShellFolder(int, char* path)
{
    int choice = Choose();
    if ((choice & 3) == 0)
        return 0;
    strcpy(path, (choice & 4) ? "C:\\users\\u\\Start Menu\\Programs" : "");
    return 1;
}
int MakeFolderPath(const char* path)
{
    CheckPath(path);
    if (ScriptText == nullptr)
        abort();
    return Choose() & 1;
}
long WriteShortcut(const char* target, const char* link, const char* directory, const char* description)
{
    CheckPath(target);
    CheckPath(link);
    CheckPath(directory);
    CheckPath(description);
    if (ScriptText == nullptr || Closed)
        abort();  // no shortcut after a cancel
    if (link[0] == '\\')
        abort();  // written at the root: the shell folder was missing
    return 0;
}
void EndCopyDialog() { Ended = 1; }

const InstallPlatform kFakePlatform = {
    ArmStepTimer, StopStepTimer, PostStep, PostClose, SetField, CopyOneFile, ShowBox,
    ShowControl, SetCaption, FindShellFolder, MakeFolderPath, WriteShortcut, EndCopyDialog,
};

void CancelFromBox()
{
    CancelInstall(kFakePlatform);
    free(ScriptText);
    ScriptText = nullptr;
}

int CountEntries(const char* section)
{
    char line[kPathSize];
    int n = 0;
    while (GetScriptLine(ScriptText, section, n + 1, line, kPathSize) != 0)
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    size_t choices = data[0] % 32;
    if (choices > size - 4)
        choices = size - 4;
    Choices = data + 4;
    ChoiceCount = choices;
    ChoiceAt = 0;
    size_t textSize = size - 4 - choices;
    ScriptText = static_cast<char*>(malloc(textSize + 1));
    memcpy(ScriptText, data + 4 + choices, textSize);
    ScriptText[textSize] = '\0';

    strcpy(SourceDir, (data[1] & 1) ? "D:\\" : "D:\\medium");
    strcpy(WindowsDir, "C:\\WINDOWS");
    strcpy(SystemDir, "C:\\WINDOWS\\SYSTEM");
    memset(InstallDir, 0, kPathSize);
    memset(InstallDir, 'i', data[2] % kPathSize);
    RegisterStartMenu = data[3] & 1;
    RegisterStartUp = (data[3] >> 1) & 1;
    TimerArmed = 0;
    PendingSection = -1;
    Ended = Closed = 0;

    const int expected = CountEntries("Install") + CountEntries("InstallWindows") +
                         CountEntries("InstallSystem") + 3;
    StartInstall(kFakePlatform);
    int steps = 0;
    while (TimerArmed && steps <= expected) {
        TickInstall(kFakePlatform);
        if (TimerArmed)
            abort();  // each arming gives exactly one tick
        int section = PendingSection;
        PendingSection = -1;
        RunInstallStep(kFakePlatform, section, PendingEntry);
        ++steps;
    }
    if (steps != expected)
        abort();
    free(ScriptText);
    ScriptText = nullptr;
    return 0;
}
