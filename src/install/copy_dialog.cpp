// Placeholder until the install sequence lands.
#include "../shell/handles.h"

INT_PTR CALLBACK CopyDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
