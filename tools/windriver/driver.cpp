#include "driver.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace driver {

const char kDialogClass[] = "#32770";
const char kBackdropClass[] = "Pelmora_Setup";
const char kProgramCaption[] = "ぺるもらセットアップ プログラム";

namespace {

// Cross-process messages give up after this; a hung setup.exe must not hang
// the driver.
const UINT kSendTimeoutMs = 5000;
const int kPollMs = 50;
// Control id of a message box's text.
const int kMessageBoxTextId = 0xFFFF;

std::string g_setupExe;
std::string g_examplesDir;
std::string g_artifactsDir;
std::string g_lastError;

std::string Backslashes(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string Join(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir.back() == '\\')
        return dir + name;
    return dir + "\\" + name;
}

std::string Quoted(const char* text)
{
    return text == nullptr ? std::string("(any)") : "\"" + std::string(text) + "\"";
}

std::string Describe(HWND window)
{
    if (window == nullptr)
        return "(no window)";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%p", static_cast<void*>(window));
    return "window " + std::string(buffer) + " class \"" + ClassNameOf(window) + "\" \"" +
           WindowText(window) + "\"";
}

// Sleeps for one poll interval while keeping this thread's own queue moving.
void Pause()
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

template <typename Probe>
HWND Poll(int timeoutMs, Probe probe)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = probe();
        if (found != nullptr)
            return found;
        if (static_cast<int>(GetTickCount() - start) >= timeoutMs)
            return nullptr;
        Pause();
    }
}

struct Search {
    DWORD pid;
    const char* className;
    const char* title;
    bool messageBoxOnly;
    bool excludeMessageBoxes;
    HWND found;
};

bool IsMessageBoxWindow(HWND window);

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (search->pid != 0 && pid != search->pid)
        return TRUE;
    if (search->className != nullptr && ClassNameOf(window) != search->className)
        return TRUE;
    if (search->title != nullptr && WindowText(window) != search->title)
        return TRUE;
    if (search->messageBoxOnly && !IsMessageBoxWindow(window))
        return TRUE;
    if (search->excludeMessageBoxes && IsMessageBoxWindow(window))
        return TRUE;
    search->found = window;
    return FALSE;  // EnumWindows goes top of the Z order first: keep the topmost.
}

HWND FindTop(const Search& search)
{
    Search copy = search;
    copy.found = nullptr;
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&copy));
    return copy.found;
}

struct ChildSurvey {
    bool onlyTextsAndButtons = true;
    bool hasText = false;
};

BOOL CALLBACK SurveyChild(HWND child, LPARAM context)
{
    ChildSurvey* survey = reinterpret_cast<ChildSurvey*>(context);
    std::string className = ClassNameOf(child);
    int id = GetDlgCtrlID(child);
    if (className == "Static") {
        if (id == kMessageBoxTextId)
            survey->hasText = true;
    } else if (className == "Button") {
        // Message box buttons are IDOK (1) .. IDCONTINUE (11), plus Help (9).
        if (id < IDOK || id > 11)
            survey->onlyTextsAndButtons = false;
    } else {
        survey->onlyTextsAndButtons = false;
    }
    return TRUE;
}

// Dialogs of this program hold edits or ids of their own; a message box holds
// only its icon, its text (0xFFFF) and its buttons.
bool IsMessageBoxWindow(HWND window)
{
    if (ClassNameOf(window) != kDialogClass)
        return false;
    ChildSurvey survey;
    EnumChildWindows(window, SurveyChild, reinterpret_cast<LPARAM>(&survey));
    return survey.onlyTextsAndButtons && survey.hasText;
}

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != 0) && read > 0)
        bytes->append(buffer, read);
    CloseHandle(file);
    return ok;
}

void CollectFiles(const std::string& root, const std::string& relative, bool withFolders,
                  std::vector<std::string>* files)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(Join(Join(root, relative), "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : Join(relative, name);
        bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!folder || withFolders)
            files->push_back(folder ? path + "\\" : path);
        if (folder)
            CollectFiles(root, path, withFolders, files);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

std::string ArgumentValue(int argc, char** argv, const char* flag, const char* variable)
{
    size_t length = std::strlen(flag);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, length) == 0)
            return Backslashes(argv[i] + length);
    }
    const char* value = std::getenv(variable);
    return value == nullptr ? std::string() : Backslashes(value);
}

}  // namespace

// ---- Set-up of a run -------------------------------------------------------

void ParseArguments(int argc, char** argv)
{
    g_setupExe = ArgumentValue(argc, argv, "--setup-exe=", "PELMORA_SETUP_EXE");
    g_examplesDir = ArgumentValue(argc, argv, "--examples=", "PELMORA_EXAMPLES");
    g_artifactsDir = ArgumentValue(argc, argv, "--artifacts=", "PELMORA_ARTIFACTS");
}

const std::string& SetupExePath() { return g_setupExe; }
const std::string& ExamplesDir() { return g_examplesDir; }
const std::string& ArtifactsDir() { return g_artifactsDir; }
const std::string& LastError() { return g_lastError; }

void Fail(const std::string& ansiSentence)
{
    g_lastError = ToUtf8(ansiSentence);
}

std::string ToUtf8(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    int wideLength = MultiByteToWideChar(932, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(932, 0, ansi.data(), int(ansi.size()), &wide[0], wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0,
                                     nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr,
                        nullptr);
    return utf8;
}

// ---- Media -----------------------------------------------------------------

std::string MakeMediumDir(const std::string& name)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        Fail("GetTempPathA failed");
        return "";
    }
    std::string base = Join(temp, "pelmora-e2e");
    CreateDirectoryA(base.c_str(), nullptr);
    std::string dir = Join(base, name);
    if (!RemoveTree(dir))
        return "";
    if (!CreateDirectoryA(dir.c_str(), nullptr)) {
        Fail("cannot create medium folder " + dir);
        return "";
    }
    return dir;
}

bool WriteFileBytes(const std::string& dir, const std::string& name, const std::string& bytes)
{
    std::string path = Join(dir, name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail("cannot create " + path);
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    if (!ok)
        Fail("cannot write " + path);
    return ok;
}

bool CopyExampleFile(const std::string& dir, const std::string& name)
{
    std::string from = Join(g_examplesDir, name);
    std::string to = Join(dir, name);
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        Fail("cannot copy " + from + " to " + to + " (is --examples= set?)");
        return false;
    }
    return true;
}

bool CopyExampleMedium(const std::string& dir)
{
    std::vector<std::string> files = ListFiles(g_examplesDir);
    if (files.empty()) {
        Fail("no files in the examples folder \"" + g_examplesDir + "\" (is --examples= set?)");
        return false;
    }
    for (const std::string& name : files) {
        if (name.find('\\') != std::string::npos)
            CreateDirectoryA(Join(dir, name.substr(0, name.rfind('\\'))).c_str(), nullptr);
        if (!CopyExampleFile(dir, name))
            return false;
    }
    return true;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    if (!ReadWholeFile(path, bytes)) {
        Fail("cannot read " + path);
        return false;
    }
    return true;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveTree(const std::string& path)
{
    // A read-only file or folder (a copied CD-ROM) would stay.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DirectoryExists(path)) {
        if (FileExists(path))
            DeleteFileA(path.c_str());
        return !FileExists(path);
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(Join(path, "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = Join(path, name);
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
    if (DirectoryExists(path)) {
        Fail("cannot remove folder " + path);
        return false;
    }
    return true;
}

std::vector<std::string> ListFiles(const std::string& dir, bool withFolders)
{
    std::vector<std::string> files;
    CollectFiles(dir, "", withFolders, &files);
    std::sort(files.begin(), files.end());
    return files;
}

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return "";
    return path;
}

std::string WindowsDirectory()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string SystemDirectory()
{
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

// ---- The process -----------------------------------------------------------

bool StartSetup(const std::string& workingDir, Setup* setup, const std::string& exe)
{
    const std::string& program = exe.empty() ? g_setupExe : exe;
    if (program.empty()) {
        Fail("no setup.exe given (--setup-exe= or PELMORA_SETUP_EXE)");
        return false;
    }
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, workingDir.c_str(), &startup, &info)) {
        char code[32];
        std::snprintf(code, sizeof code, "%lu", GetLastError());
        Fail("cannot start " + program + " in " + workingDir + " (error " + code + ")");
        return false;
    }
    CloseHandle(info.hThread);
    setup->process = info.hProcess;
    setup->pid = info.dwProcessId;
    return true;
}

bool WaitForExit(Setup* setup, int timeoutMs, DWORD* exitCode)
{
    if (setup->process == nullptr) {
        Fail("setup.exe was not started");
        return false;
    }
    if (WaitForSingleObject(setup->process, DWORD(timeoutMs)) != WAIT_OBJECT_0) {
        char text[96];
        std::snprintf(text, sizeof text, "setup.exe (pid %lu) still runs after %d ms",
                      setup->pid, timeoutMs);
        Fail(text);
        return false;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(setup->process, &code);
    if (exitCode != nullptr)
        *exitCode = code;
    return true;
}

DWORD ExitCode(Setup* setup, int timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    WaitForExit(setup, timeoutMs, &code);
    return code;
}

void KillSetup(Setup* setup)
{
    if (setup->process == nullptr)
        return;
    if (WaitForSingleObject(setup->process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(setup->process, 99);
        WaitForSingleObject(setup->process, 5000);
    }
    CloseHandle(setup->process);
    setup->process = nullptr;
}

bool IsRunning(const Setup& setup)
{
    return setup.process != nullptr && WaitForSingleObject(setup.process, 0) == WAIT_TIMEOUT;
}

// ---- Windows ---------------------------------------------------------------

HWND FindWindowOf(DWORD pid, const char* className, const char* title)
{
    return FindTop(Search{pid, className, title, false, false, nullptr});
}

HWND WaitForWindow(DWORD pid, const char* className, const char* title, int timeoutMs)
{
    HWND found = Poll(timeoutMs, [&] { return FindWindowOf(pid, className, title); });
    if (found == nullptr) {
        char text[64];
        std::snprintf(text, sizeof text, " did not appear within %d ms", timeoutMs);
        Fail("window of class " + Quoted(className) + " titled " + Quoted(title) + text);
    }
    return found;
}

HWND WaitForDialog(DWORD pid, const char* caption, int timeoutMs)
{
    Search search{pid, kDialogClass, caption, false, true, nullptr};
    HWND found = Poll(timeoutMs, [&] { return FindTop(search); });
    if (found == nullptr) {
        char text[64];
        std::snprintf(text, sizeof text, " did not appear within %d ms", timeoutMs);
        std::string seen;
        HWND box = FindMessageBox(pid);
        if (box != nullptr)
            seen = " (a message box is up instead: \"" + ReadMessageBox(box).text + "\")";
        Fail("dialog " + Quoted(caption) + text + seen);
    }
    return found;
}

HWND FindMessageBox(DWORD pid)
{
    return FindTop(Search{pid, kDialogClass, nullptr, true, false, nullptr});
}

HWND WaitForMessageBox(DWORD pid, int timeoutMs)
{
    HWND found = Poll(timeoutMs, [&] { return FindMessageBox(pid); });
    if (found == nullptr) {
        char text[64];
        std::snprintf(text, sizeof text, "no message box appeared within %d ms", timeoutMs);
        Fail(text);
    }
    return found;
}

bool WaitForWindowGone(HWND window, int timeoutMs)
{
    std::string name = Describe(window);
    HWND gone = Poll(timeoutMs, [&]() -> HWND {
        return IsWindow(window) && IsWindowVisible(window) ? nullptr : window;
    });
    if (gone == nullptr) {
        char text[64];
        std::snprintf(text, sizeof text, " is still there after %d ms", timeoutMs);
        Fail(name + text);
        return false;
    }
    return true;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return "";
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ClassNameOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND Control(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        char text[48];
        std::snprintf(text, sizeof text, "control %d missing in ", id);
        Fail(text + Describe(dialog));
    }
    return control;
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = Control(dialog, id);
    return control == nullptr ? std::string() : WindowText(control);
}

std::string WaitForControlText(HWND dialog, int id, const std::string& expected, int timeoutMs)
{
    std::string text;
    Poll(timeoutMs, [&] { return (text = ControlText(dialog, id)) == expected ? dialog : nullptr; });
    return text;
}

bool SetControlText(HWND dialog, int id, const std::string& text)
{
    HWND control = Control(dialog, id);
    if (control == nullptr)
        return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
        Fail("WM_SETTEXT to control got no answer in " + Describe(dialog));
        return false;
    }
    return true;
}

int CheckState(HWND dialog, int id)
{
    HWND control = Control(dialog, id);
    if (control == nullptr)
        return -1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &state))
        return -1;
    return int(state);
}

bool IsControlEnabled(HWND dialog, int id)
{
    HWND control = Control(dialog, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool IsControlVisible(HWND dialog, int id)
{
    HWND control = Control(dialog, id);
    return control != nullptr && IsWindowVisible(control);
}

MessageBoxText ReadMessageBox(HWND box)
{
    MessageBoxText result;
    result.caption = WindowText(box);
    result.text = ControlText(box, kMessageBoxTextId);
    result.owner = GetWindow(box, GW_OWNER);
    return result;
}

bool AnswerMessageBox(DWORD pid, MessageBoxText* seen)
{
    HWND box = WaitForMessageBox(pid);
    if (box == nullptr)
        return false;
    *seen = ReadMessageBox(box);
    return PressMessageBoxOk(box) && WaitForWindowGone(box);
}

bool PressButton(HWND dialog, int id)
{
    HWND button = Control(dialog, id);
    if (button == nullptr)
        return false;
    char number[16];
    std::snprintf(number, sizeof number, "%d", id);
    std::string name = "button " + std::string(number) + " \"" + WindowText(button) + "\" in " +
                       Describe(dialog);
    if (!IsWindowVisible(button)) {
        Fail(name + " is hidden");
        return false;
    }
    if (!IsWindowEnabled(button)) {
        Fail(name + " is disabled");
        return false;
    }
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))) {
        Fail("cannot post to " + Describe(dialog));
        return false;
    }
    return true;
}

bool PressMessageBoxOk(HWND box)
{
    if (GetDlgItem(box, IDOK) != nullptr)
        return PressButton(box, IDOK);
    // A box with the OK button alone may give it IDCANCEL's place.
    return PressButton(box, IDCANCEL);
}

bool SendKey(HWND window, UINT virtualKey, char character)
{
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    LPARAM down = 1 | (LPARAM(scan) << 16);
    LPARAM up = down | (LPARAM(1) << 30) | (LPARAM(1) << 31);
    bool ok = PostMessageA(window, WM_KEYDOWN, virtualKey, down) != 0;
    if (character != 0)
        ok = ok && PostMessageA(window, WM_CHAR, WPARAM(static_cast<unsigned char>(character)), down);
    ok = ok && PostMessageA(window, WM_KEYUP, virtualKey, up);
    if (!ok)
        Fail("cannot post keys to " + Describe(window));
    return ok;
}

bool PostClose(HWND window)
{
    if (!PostMessageA(window, WM_CLOSE, 0, 0)) {
        Fail("cannot post WM_CLOSE to " + Describe(window));
        return false;
    }
    return true;
}

// ---- Pixels ----------------------------------------------------------------

bool CaptureRect(const RECT& rect, Screenshot* shot, HDC source)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        Fail("empty capture rectangle");
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr;
    if (ok) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, source ? source : screen, rect.left, rect.top,
                    SRCCOPY) != 0;
        GdiFlush();
        if (ok) {
            shot->width = width;
            shot->height = height;
            const uint32_t* source = static_cast<const uint32_t*>(bits);
            shot->pixels.assign(source, source + size_t(width) * height);
            for (uint32_t& pixel : shot->pixels)
                pixel &= 0x00FFFFFF;
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!ok)
        Fail("cannot copy the screen");
    return ok;
}

bool CaptureScreen(Screenshot* shot)
{
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CaptureRect(rect, shot);
}

bool SaveBmp(const Screenshot& shot, const std::string& path)
{
    int rowSize = (shot.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = shot.height;  // bottom-up, the common form
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(rowSize) * shot.height;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    std::string row(rowSize, '\0');
    for (int y = shot.height - 1; y >= 0; --y) {
        for (int x = 0; x < shot.width; ++x) {
            uint32_t pixel = shot.At(x, y);
            row[x * 3] = char(Blue(pixel));
            row[x * 3 + 1] = char(Green(pixel));
            row[x * 3 + 2] = char(Red(pixel));
        }
        bytes += row;
    }
    size_t slash = path.rfind('\\');
    std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return WriteFileBytes(dir, name, bytes);
}

void SaveArtifact(const Screenshot& shot, const std::string& name)
{
    if (g_artifactsDir.empty())
        return;
    CreateDirectoryA(g_artifactsDir.c_str(), nullptr);
    SaveBmp(shot, Join(g_artifactsDir, name + ".bmp"));
}

bool IsNear(uint32_t pixel, int r, int g, int b, int tolerance)
{
    return std::abs(Red(pixel) - r) <= tolerance && std::abs(Green(pixel) - g) <= tolerance &&
           std::abs(Blue(pixel) - b) <= tolerance;
}

std::string Rgb(uint32_t pixel)
{
    char text[32];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", Red(pixel), Green(pixel), Blue(pixel));
    return text;
}

}  // namespace driver
