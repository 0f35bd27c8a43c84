#include "handles.h"

#include <shlobj.h>

HINSTANCE InstanceHandle;
HWND BackdropWindow;
HFONT BigTitleFont;
HICON SetupIcon;
HBITMAP GradientBitmap;
HDC GradientDC;

// Before Windows 2000 the shell's allocator is not the OLE task allocator, so
// CoTaskMemFree would hand the list to the wrong heap.
void FreeItemList(LPITEMIDLIST items)
{
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(items);
        allocator->Release();
    }
}
