// Window-system handles of the process-wide state (see state.h).
#pragma once

#include <windows.h>
#include <shtypes.h>

extern HINSTANCE InstanceHandle;    // WinMain; dialogs are created from it
extern HWND BackdropWindow;         // start-up; owner of boxes, target of posts
extern HFONT BigTitleFont;          // start-up creates, backdrop selects and deletes
extern HICON SetupIcon;             // start-up loads icon 103; settings dialog shows it
extern HBITMAP GradientBitmap;      // backdrop: 1 x 256 colour ramp
extern HDC GradientDC;              // backdrop: memory DC holding the ramp

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Frees an item list that the shell returned, through the shell's allocator.
void FreeItemList(LPITEMIDLIST items);
