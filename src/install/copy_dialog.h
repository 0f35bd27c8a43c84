// The copy-progress dialog (104), which the backdrop opens on the install
// request.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CopyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
