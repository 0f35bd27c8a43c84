// The reference for the start-up benchmark: the least a Win32 program with a
// window does, a message box, then it quits.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr, "reference", "reference", MB_OK);
    return 0;
}
