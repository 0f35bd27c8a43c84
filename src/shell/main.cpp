// Entry of setup.exe: one instance, load setup.ini, prepare the process state,
// create the backdrop and run the one message loop of the process.
#include "handles.h"

#include "../../res/resource.h"
#include "../script/keys.h"
#include "../script/script.h"
#include "../script/text.h"
#include "dll_search.h"
#include "state.h"

static const char kClassName[] = "Pelmora_Setup";

enum ExitCode {
    kExitNormal = 0,
    kExitTooLarge = 1,
    kExitNoMemory = 2,
    kExitRedirected = 3,
    kExitCannotOpen = 5,
};

static void ShowStartupError(const char* text)
{
    MessageBoxA(nullptr, text, kProgramCaption, MB_OK | MB_ICONERROR);
}

// Loads setup.ini into ScriptText. Returns 0 or the exit code of the failure.
static int LoadScript()
{
    HANDLE file = CreateFileA("setup.ini", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ShowStartupError("setup.iniを開けられません");
        return kExitCannotOpen;
    }
    BY_HANDLE_FILE_INFORMATION info;
    info.nFileSizeHigh = 0;
    info.nFileSizeLow = 0;
    GetFileInformationByHandle(file, &info);
    // 4 GiB - 1 bytes is refused too: size + 1 for the NUL would wrap to 0
    // and the block would be one byte short of the terminator.
    if (info.nFileSizeHigh != 0 || info.nFileSizeLow == 0xFFFFFFFFu) {
        CloseHandle(file);
        ShowStartupError("setup.iniが大きすぎます。");
        return kExitTooLarge;
    }
    DWORD size = info.nFileSizeLow;
    ScriptText = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (ScriptText == nullptr) {
        CloseHandle(file);
        ShowStartupError("メモリー確保失敗");
        return kExitNoMemory;
    }
    DWORD read = 0;
    // A short or failed read leaves a shorter script, never an error.
    ReadFile(file, ScriptText, size, &read, nullptr);
    if (read > size)
        read = size;
    ScriptText[read] = '\0';
    CloseHandle(file);
    return 0;
}

static void FillDirectories()
{
    GetCurrentDirectoryA(kPathBound, SourceDir);
    GetWindowsDirectoryA(WindowsDir, kPathBound);
    InstallDir[0] = WindowsDir[0];
    InstallDir[1] = ':';
    InstallDir[2] = '\\';
    InstallDir[3] = '\0';
    GetSystemDirectoryA(SystemDir, kPathBound);
}

static void CreateBigTitleFont()
{
    LOGFONTA font = {};
    font.lfHeight = -64;
    font.lfWeight = FW_BOLD;
    font.lfItalic = TRUE;
    font.lfCharSet = OEM_CHARSET;
    BigTitleFont = CreateFontIndirectA(&font);
}

static bool RegisterBackdropClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = BackdropWndProc;
    windowClass.hInstance = instance;
    SetupIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hIcon = SetupIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

// The common controls by full path: COMCTL32 is no known system DLL, so an
// import would load whatever comctl32.dll lies beside setup.exe. A system
// without it goes on as if the call had done nothing.
static void InitCommonControlsFromSystem()
{
    HMODULE library = LoadSystemLibrary("comctl32");
    typedef void(WINAPI * InitProc)();
    InitProc init = library == nullptr
        ? nullptr
        : reinterpret_cast<InitProc>(
              reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")));
    if (init != nullptr)
        init();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Checked before any DLL is loaded: through a .local folder every load
    // below could bring in a DLL of the medium.
    if (HasDotLocal()) {
        ShowStartupError("setup.exe.localがあるため起動できません");
        return kExitRedirected;
    }
    RestrictDllSearch();
    // A window search, not a lock: the backdrop of a running setup is enough.
    if (FindWindowA(kClassName, nullptr) != nullptr)
        return kExitNormal;
    InitCommonControlsFromSystem();
    InstanceHandle = instance;

    int failure = LoadScript();
    if (failure != 0)
        return failure;

    BigTitleLength = GetScriptValue(ScriptText, SECTION_INIT, KEY_BIG_TITLE,
                                    BigTitleText, kBigTitleSize);
    if (BigTitleLength == 0)
        BigTitleLength = CopyText(BigTitleText, DEFAULT_BIG_TITLE, kBigTitleSize - 1);

    FillDirectories();
    CreateBigTitleFont();
    if (!RegisterBackdropClass(instance))
        return kExitNormal;

    BackdropWindow = CreateWindowExA(WS_EX_TOPMOST, kClassName, kProgramCaption,
                                     WS_POPUP | WS_SYSMENU, 0, 0,
                                     GetSystemMetrics(SM_CXSCREEN),
                                     GetSystemMetrics(SM_CYSCREEN),
                                     nullptr, nullptr, instance, nullptr);
    // Without the window nothing would ever post the quit message.
    if (BackdropWindow == nullptr)
        return kExitNormal;
    ShowWindow(BackdropWindow, SW_SHOWMAXIMIZED);
    UpdateWindow(BackdropWindow);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
