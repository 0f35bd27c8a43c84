// Placeholder until the settings dialog lands.
#include "handles.h"

INT_PTR CALLBACK SettingsDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
