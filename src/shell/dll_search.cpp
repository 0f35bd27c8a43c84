#include "dll_search.h"

#include "../script/text.h"
#include "state.h"

// Not in the headers of every SDK; kernel32 exports them from Windows 7
// (with KB2533623), XP SP1 and XP SP2 on.
typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD flags);
typedef BOOL(WINAPI* SetDllDirectoryAProc)(LPCSTR path);
typedef BOOL(WINAPI* SetSearchPathModeProc)(DWORD flags);
const DWORD kSearchSystem32 = 0x00000800;      // LOAD_LIBRARY_SEARCH_SYSTEM32
const DWORD kSafeSearchForGood = 0x00000001 | 0x00008000;  // safe search mode, permanent

// What the shell, COM, the folder browser and the theme code load by name
// after start-up, as the installers that closed this hole found them. The
// loader appends ".dll".
static const char kLateLoadedDlls[] =
    "uxtheme\0dwmapi\0cryptbase\0propsys\0apphelp\0userenv\0oleacc\0clbcatq\0"
    "ntmarta\0profapi\0version\0setupapi\0sspicli\0cryptsp\0rsaenh\0shfolder\0";

bool HasDotLocal()
{
    char path[kPathSize];
    path[0] = '\0';
    GetModuleFileNameA(nullptr, path, kPathSize);
    path[kPathBound] = '\0';
    AppendText(path, ".local", kPathBound);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

HMODULE LoadSystemLibrary(const char* name)
{
    char path[kPathSize];
    path[0] = '\0';
    GetSystemDirectoryA(path, kPathBound);
    AppendText(path, "\\", kPathBound);
    AppendText(path, name, kPathBound);
    return LoadLibraryA(path);
}

// Through void*: each caller casts to the function's real type.
static void* KernelFunction(const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), name));
}

void RestrictDllSearch()
{
    // GetVersion: major version in the low byte, minor in the next.
    bool vista = (GetVersion() & 0xFFFF) == 0x0006;
    SetDefaultDllDirectoriesProc setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        KernelFunction("SetDefaultDllDirectories"));
    if (setDefault != nullptr && !vista && setDefault(kSearchSystem32))
        return;
    SetDllDirectoryAProc setDllDirectory =
        reinterpret_cast<SetDllDirectoryAProc>(KernelFunction("SetDllDirectoryA"));
    if (setDllDirectory != nullptr)
        setDllDirectory("");
    SetSearchPathModeProc setSearchPathMode =
        reinterpret_cast<SetSearchPathModeProc>(KernelFunction("SetSearchPathMode"));
    if (setSearchPathMode != nullptr)
        setSearchPathMode(kSafeSearchForGood);
    // A DLL that is missing (most of them on Windows 95) must not bring up a
    // system error box.
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const char* name = kLateLoadedDlls; *name != '\0';) {
        LoadSystemLibrary(name);
        while (*name++ != '\0') {
        }
    }
    SetErrorMode(errorMode);
}
