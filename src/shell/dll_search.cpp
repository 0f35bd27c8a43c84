#include "dll_search.h"

#include "../script/text.h"
#include "dll_search_plan.h"
#include "state.h"

// Not in the headers of every SDK. kernel32 exports them from Windows 7 with
// KB2533623, XP SP1 and XP SP2 on; their bits in the plan are 1, 2 and 4.
static const char kSearchFunctions[] =
    "SetDefaultDllDirectories\0SetDllDirectoryA\0SetSearchPathMode\0";
typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD flags);
typedef BOOL(WINAPI* SetDllDirectoryAProc)(LPCSTR path);
typedef BOOL(WINAPI* SetSearchPathModeProc)(DWORD flags);
const DWORD kSearchSystem32 = 0x00000800;      // LOAD_LIBRARY_SEARCH_SYSTEM32
const DWORD kSafeSearchForGood = 0x00000001 | 0x00008000;  // safe search mode, permanent

// What the shell, COM, the folder browser and the theme code load by name
// after start-up, as the installers that closed this hole found them. The
// loader appends ".dll". Kept in the writable section, whose file block the
// import address table leaves mostly empty (cmake/setup.ld).
__attribute__((section(".data$const"))) static const char kLateLoadedDlls[] =
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

// The name after this one in a list of names each ended by a NUL.
static const char* NextName(const char* name)
{
    while (*name++ != '\0') {
    }
    return name;
}

void RestrictDllSearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    FARPROC functions[3];
    int available = 0;
    const char* name = kSearchFunctions;
    for (int step = 0; step < 3; ++step, name = NextName(name)) {
        functions[step] = GetProcAddress(kernel, name);
        if (functions[step] != nullptr)
            available |= 1 << step;
    }
    DWORD version = GetVersion();
    int plan = PlanDllSearch(version, available);
    // Through void*: each call casts to the function's real type.
    if (plan == kSearchSystemOnly) {
        if (reinterpret_cast<SetDefaultDllDirectoriesProc>(
                reinterpret_cast<void*>(functions[0]))(kSearchSystem32))
            return;
        plan = PlanDllSearch(version, available & ~kSearchSystemOnly);
    }
    if ((plan & kClearDllDirectory) != 0)
        reinterpret_cast<SetDllDirectoryAProc>(reinterpret_cast<void*>(functions[1]))("");
    if ((plan & kSafeSearchMode) != 0)
        reinterpret_cast<SetSearchPathModeProc>(reinterpret_cast<void*>(functions[2]))(
            kSafeSearchForGood);
    if ((plan & kPreloadByPath) == 0)
        return;
    // A DLL that is missing (most of them on Windows 95) must not bring up a
    // system error box.
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const char* dll = kLateLoadedDlls; *dll != '\0'; dll = NextName(dll))
        LoadSystemLibrary(dll);
    SetErrorMode(errorMode);
}
