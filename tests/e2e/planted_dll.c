/* A DLL planted on a medium under the name of a system DLL. When anything
   loads it, it leaves "<its own path>.loaded" beside itself and refuses to
   load, so a test sees the load even if the program then fails. Named as
   the linker's default entry of a DLL, so no run-time is needed. */
#include <windows.h>

BOOL WINAPI DllMainCRTStartup(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char mark[MAX_PATH + 8];
        DWORD length = GetModuleFileNameA(self, mark, MAX_PATH);
        lstrcpyA(mark + length, ".loaded");
        HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return FALSE;
}
