// The copy-progress dialog (104): the Win32 side of the install sequence.
// Each platform operation of InstallPlatform is one call here.
#include "copy_dialog.h"

#include <shlobj.h>

#include "../../res/resource.h"

// The shell's part in the install: the backdrop owns the finish boxes and
// takes the close; the caption, the step message and the item-list release.
#include "../shell/handles.h"
#include "../shell/state.h"
#include "folder.h"
#include "install_sequence.h"
#include "shortcut.h"

static const UINT_PTR kStepTimer = 1;

static HWND CopyDialog;

static void ArmStepTimer(int milliseconds)
{
    SetTimer(CopyDialog, kStepTimer, static_cast<UINT>(milliseconds), nullptr);
}

static void StopStepTimer()
{
    KillTimer(CopyDialog, kStepTimer);
}

static void PostStep(int section, int entry)
{
    PostMessageA(CopyDialog, WM_INSTALL_STEP, static_cast<WPARAM>(section), entry);
}

static void PostClose()
{
    PostMessageA(BackdropWindow, WM_CLOSE, 0, 0);
}

static void SetField(int id, const char* text)
{
    SetDlgItemTextA(CopyDialog, id, text);
}

// CopyFileA gives the copy the source's attributes, and every file on a
// CD-ROM is read-only: a copy that stayed so could not be overwritten by the
// next install. The attributes of a file that was not copied are left alone.
static int CopyOneFile(const char* source, const char* destination, int failIfExists)
{
    if (!CopyFileA(source, destination, failIfExists))
        return 0;
    DWORD attributes = GetFileAttributesA(destination);
    const DWORD kCarriedOver = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kCarriedOver) != 0)
        SetFileAttributesA(destination, attributes & ~kCarriedOver);
    return 1;
}

static void ShowBox(int owner, const char* text, int icon)
{
    MessageBoxA(owner == kOwnerBackdrop ? BackdropWindow : CopyDialog, text, kProgramCaption,
                MB_OK | static_cast<UINT>(icon));
}

static void ShowControl(int id, int show)
{
    ShowWindow(GetDlgItem(CopyDialog, id), show ? SW_SHOW : SW_HIDE);
}

static void SetCaption(const char* text)
{
    SetWindowTextA(CopyDialog, text);
}

static int FindShellFolder(int folder, char* path)
{
    LPITEMIDLIST items;
    if (FAILED(SHGetSpecialFolderLocation(BackdropWindow, folder, &items)))
        return 0;
    int found = SHGetPathFromIDListA(items, path) ? 1 : 0;
    FreeItemList(items);
    return found;
}

static void EndCopyDialog()
{
    EndDialog(CopyDialog, 0);
}

static const InstallPlatform kWin32Platform = {
    ArmStepTimer, StopStepTimer, PostStep, PostClose, SetField, CopyOneFile, ShowBox,
    ShowControl, SetCaption, FindShellFolder, CreateFolderPath, CreateShortcut, EndCopyDialog,
};

INT_PTR CALLBACK CopyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CopyDialog = dialog;
        StartInstall(kWin32Platform);
        return TRUE;
    case WM_TIMER:
        TickInstall(kWin32Platform);
        return TRUE;
    case WM_INSTALL_STEP:
        RunInstallStep(kWin32Platform, static_cast<int>(wParam), static_cast<int>(lParam));
        return TRUE;
    case WM_COMMAND:
        // The button, Esc and the close box arrive as IDCANCEL, the button's id.
        if (LOWORD(wParam) == IDC_STOP_BUTTON || LOWORD(wParam) == IDABORT || LOWORD(wParam) == IDCLOSE)
            CancelInstall(kWin32Platform);
        return TRUE;
    case WM_DESTROY:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
