// Settings dialog (102): shows the script's caption, text and picture,
// proposes the install directory and hands the user's choice to the
// backdrop. What is accepted or proposed is decided in settings_logic.cpp;
// this file only moves text in and out of the controls.
#include "handles.h"

#include <shlobj.h>

#include "../../res/resource.h"
#include "../script/keys.h"
#include "../script/script.h"
#include "../script/text.h"
#include "settings_logic.h"
#include "state.h"

// The text lines, filled from msga on.
static const int kTextLineIds[kTextLineCount] = {
    IDC_TEXT_LINE1, IDC_TEXT_LINE2, IDC_TEXT_LINE3, IDC_TEXT_LINE4,
    IDC_TEXT_LINE5, IDC_TEXT_LINE6, IDC_TEXT_LINE7,
};

static int LookUp(const char* key, char* value)
{
    return GetScriptValue(ScriptText, SECTION_INIT, key, value, kValueSize);
}

static int SectionHasLines(const char* section, char* value)
{
    return GetScriptLine(ScriptText, section, 1, value, kValueSize) != 0;
}

static void DisableControl(HWND dialog, int id)
{
    EnableWindow(GetDlgItem(dialog, id), FALSE);
}

static void FillTextLines(HWND dialog, char* value)
{
    char key[] = KEY_FIRST_MESSAGE;
    for (int id : kTextLineIds) {
        // A missing key leaves its own line empty; the others keep their places.
        if (LookUp(key, value) != 0)
            SetDlgItemTextA(dialog, id, value);
        ++key[3];
    }
}

static void FillPicture(HWND dialog, char* value)
{
    if (LookUp(KEY_IMAGE, value) == 0)
        CopyText(value, DEFAULT_IMAGE, kValueSize - 1);
    HANDLE image = LoadImageA(nullptr, value, IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (image == nullptr) {
        ShowWindow(GetDlgItem(dialog, IDC_PICTURE), SW_HIDE);
        return;
    }
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(
        dialog, IDC_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)));
    if (previous != nullptr)
        DeleteObject(previous);
}

static void FillDefaultBox(HWND dialog, const char* key, int boxId, char* value)
{
    if (LookUp(key, value) != 0 && IsDefaultBoxChecked(value))
        CheckDlgButton(dialog, boxId, BST_CHECKED);
}

// Disabling keeps a box's check: the install button reads it all the same.
static void DisableUnusedControls(HWND dialog, char* value)
{
    if (!SectionHasLines(SECTION_START_MENU_SET, value))
        DisableControl(dialog, IDC_START_MENU_BOX);
    if (!SectionHasLines(SECTION_START_UP_SET, value))
        DisableControl(dialog, IDC_START_UP_BOX);
    if (!SectionHasLines(InstallSections[0], value)) {
        DisableControl(dialog, IDC_INSTALL_DIR_LABEL);
        SetDlgItemTextA(dialog, IDC_INSTALL_DIR, "");
        DisableControl(dialog, IDC_INSTALL_DIR);
        DisableControl(dialog, IDC_BROWSE_BUTTON);
        DisableControl(dialog, IDC_DEFAULT_BUTTON);
    }
}

static void FillFromScript(HWND dialog)
{
    char value[kValueSize];
    if (LookUp(KEY_TITLE, value) != 0)
        SetWindowTextA(dialog, value);
    FillTextLines(dialog, value);
    FillPicture(dialog, value);
    FillDefaultBox(dialog, KEY_DEFAULT_START_MENU, IDC_START_MENU_BOX, value);
    FillDefaultBox(dialog, KEY_DEFAULT_START_UP, IDC_START_UP_BOX, value);
    // Runs once per run: each call appends the folder name again.
    ProposeInstallDir(InstallDir, LookUp(KEY_COPY_DIR, value) != 0 ? value : nullptr);
    SetDlgItemTextA(dialog, IDC_INSTALL_DIR, InstallDir);
    DisableUnusedControls(dialog, value);
}

static void OnInitDialog(HWND dialog)
{
    if (ScriptText != nullptr)
        FillFromScript(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(SetupIcon));
}

static void ShowRefusal(HWND dialog, int check)
{
    char text[kPathSize];
    if (check == kEntryBadCharacter)
        ComposeCharacterMessage(text);
    else
        CopyText(text, kNamelessFolderMessage, kPathBound);
    MessageBoxA(dialog, text, kProgramCaption, MB_OK | MB_ICONERROR);
    // The proposal replaces the refused text.
    SetDlgItemTextA(dialog, IDC_INSTALL_DIR, InstallDir);
}

// Returns FALSE when the entry is refused and the dialog stays open.
static BOOL OnInstallButton(HWND dialog)
{
    char text[kPathSize];
    GetDlgItemTextA(dialog, IDC_INSTALL_DIR, text, kPathSize);
    int check = CheckInstallEntry(text, InstallDir);
    if (check != kEntryAccepted) {
        ShowRefusal(dialog, check);
        return FALSE;
    }
    if (IsDlgButtonChecked(dialog, IDC_START_MENU_BOX) == BST_CHECKED)
        RegisterStartMenu = 1;
    if (IsDlgButtonChecked(dialog, IDC_START_UP_BOX) == BST_CHECKED)
        RegisterStartUp = 1;
    // Posted before the dialog ends, so the backdrop handles it once the
    // modal loop has returned.
    PostMessageA(BackdropWindow, WM_INSTALL_STEP, 0, 0);
    EndDialog(dialog, 0);
    return TRUE;
}

static void OnCancel(HWND dialog)
{
    PostMessageA(BackdropWindow, WM_CLOSE, 0, 0);
    EndDialog(dialog, 0);
}

static void OnBrowse(HWND dialog)
{
    char text[kPathSize];
    text[0] = '\0';
    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = text;
    browse.lpszTitle = "インストール先の親のフォルダ。\n自動的にフォルダ名が付きます。";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    LPITEMIDLIST items = SHBrowseForFolderA(&browse);
    if (items == nullptr)
        return;
    // The display name is in the buffer; without a file-system path it must
    // not be taken for one.
    if (!SHGetPathFromIDListA(items, text))
        text[0] = '\0';
    FreeItemList(items);
    ComposeBrowsedPath(text, InstallDir);
    if (text[0] != '\0')
        SetDlgItemTextA(dialog, IDC_INSTALL_DIR, text);
}

static BOOL OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_INSTALL_BUTTON:
        return OnInstallButton(dialog);
    case IDC_CANCEL_BUTTON:  // IDCANCEL: the button, Esc and the close box
    case IDABORT:
    case IDCLOSE:
        OnCancel(dialog);
        break;
    case IDC_BROWSE_BUTTON:
        OnBrowse(dialog);
        break;
    case IDC_DEFAULT_BUTTON:
        SetDlgItemTextA(dialog, IDC_INSTALL_DIR, InstallDir);
        break;
    }
    return TRUE;
}

static void OnDestroy(HWND dialog)
{
    // A bitmap static never deletes its image itself.
    HGDIOBJ image = reinterpret_cast<HGDIOBJ>(
        SendDlgItemMessageA(dialog, IDC_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (image != nullptr)
        DeleteObject(image);
    EndDialog(dialog, 0);
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_DESTROY:
        OnDestroy(dialog);
        return TRUE;
    }
    return FALSE;
}
