// Drives the real setup.exe through its windows, as a user would: makes a
// medium folder, starts the program there, finds its windows, reads what a
// user reads, presses what a user presses and checks what lands on disk.
//
// Every wait is bounded. A call that fails returns nullptr / false / an empty
// result and leaves a sentence in LastError() that names the window or
// control it was looking for, so a test can say
//     ASSERT_NE(box, nullptr) << driver::LastError();
// Texts are ANSI (code page 932), as GetWindowTextA returns them; LastError()
// is UTF-8 so that it reads well in a Linux log.
//
// A scenario, in short:
//     std::string dir = driver::MakeMediumDir("my-scenario");
//     driver::WriteFileBytes(dir, "setup.ini", "[init]\r\nCopyDir=Foo\r\n");
//     driver::ScopedSetup setup;                 // killed if the test fails
//     ASSERT_TRUE(driver::StartSetup(dir, &setup)) << driver::LastError();
//     HWND dialog = driver::WaitForDialog(setup.pid, "セットアップ");
//     ASSERT_NE(dialog, nullptr) << driver::LastError();
//     EXPECT_EQ(driver::ControlText(dialog, IDC_INSTALL_DIR), "C:\\Foo");
//     ASSERT_TRUE(driver::PressButton(dialog, IDC_CANCEL_BUTTON)) << driver::LastError();
//     DWORD code = 0;
//     ASSERT_TRUE(driver::WaitForExit(&setup, 15000, &code)) << driver::LastError();
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// Default bound of a single wait. A cold Wine start of setup.exe takes a few
// seconds on a loaded machine.
const int kWaitMs = 20000;
// Message box and dialog class.
extern const char kDialogClass[];
// Class and title of the backdrop window.
extern const char kBackdropClass[];
extern const char kProgramCaption[];

// ---- Set-up of a run -------------------------------------------------------

// Reads --setup-exe=PATH, --examples=DIR and --artifacts=DIR from the command
// line (after GoogleTest has taken its own flags); the environment variables
// PELMORA_SETUP_EXE, PELMORA_EXAMPLES and PELMORA_ARTIFACTS serve as fallbacks.
// Forward slashes are turned into backslashes.
void ParseArguments(int argc, char** argv);
const std::string& SetupExePath();   // setup.exe to start
const std::string& ExamplesDir();    // examples\medium of the source tree
const std::string& ArtifactsDir();   // where screenshots go; may be empty

// Sentence describing the last failure, UTF-8.
const std::string& LastError();
// Sets it from a sentence in code page 932.
void Fail(const std::string& ansiSentence);

// ---- Media -----------------------------------------------------------------

// A fresh, empty folder for one scenario: %TEMP%\pelmora-e2e\<name>. An old
// folder of that name is removed first. Returns its path, or "" on failure.
std::string MakeMediumDir(const std::string& name);
// Writes bytes as the file dir\name (setup.ini bytes are given as they are:
// literals in tests are already Shift-JIS).
bool WriteFileBytes(const std::string& dir, const std::string& name, const std::string& bytes);
// Copies examples\medium\<name> into dir under the same name.
bool CopyExampleFile(const std::string& dir, const std::string& name);
// Copies every file of examples\medium into dir.
bool CopyExampleMedium(const std::string& dir);
// Reads a whole file; false if it cannot be opened.
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Deletes a folder with everything in it; true if it is gone afterwards.
bool RemoveTree(const std::string& path);
// Relative paths of every file below dir, sorted ("a.txt", "sub\\b.txt");
// withFolders, every folder too, with a final "\\" ("sub\\").
std::vector<std::string> ListFiles(const std::string& dir, bool withFolders = false);
// Shell folder path (CSIDL_PROGRAMS, CSIDL_STARTUP, ...), "" if unknown.
std::string ShellFolder(int csidl);
std::string WindowsDirectory();
std::string SystemDirectory();

// ---- The process -----------------------------------------------------------

struct Setup {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// Starts SetupExePath(), or exe when given, with workingDir as its current
// directory.
bool StartSetup(const std::string& workingDir, Setup* setup, const std::string& exe = "");
// Waits for the process to end; false if it is still running after timeoutMs.
bool WaitForExit(Setup* setup, int timeoutMs, DWORD* exitCode);
// Its exit code once it has ended, STILL_ACTIVE (with LastError()) if it
// still runs after timeoutMs.
DWORD ExitCode(Setup* setup, int timeoutMs = kWaitMs);
// Ends the process if it still runs and closes the handle. Safe to call twice.
void KillSetup(Setup* setup);
// A Setup that is killed when it leaves scope, so that no failing test leaves
// a setup.exe running behind it.
struct ScopedSetup : Setup {
    ScopedSetup() = default;
    ScopedSetup(const ScopedSetup&) = delete;
    ScopedSetup& operator=(const ScopedSetup&) = delete;
    ~ScopedSetup() { KillSetup(this); }
};
// True while the process runs.
bool IsRunning(const Setup& setup);

// ---- Windows ---------------------------------------------------------------

// A visible top-level window of process pid (0: any process) with that class
// and title (nullptr: any). Waits up to timeoutMs.
HWND WaitForWindow(DWORD pid, const char* className, const char* title, int timeoutMs = kWaitMs);
// The same, without waiting.
HWND FindWindowOf(DWORD pid, const char* className, const char* title);
// A visible dialog (class "#32770") of pid with that caption, not a message box.
HWND WaitForDialog(DWORD pid, const char* caption, int timeoutMs = kWaitMs);
// A visible message box of pid: a "#32770" window holding only static texts
// and buttons, with its text in the static control 0xFFFF.
HWND WaitForMessageBox(DWORD pid, int timeoutMs = kWaitMs);
HWND FindMessageBox(DWORD pid);
// Waits until the window is gone (destroyed or hidden).
bool WaitForWindowGone(HWND window, int timeoutMs = kWaitMs);

// Text of a window or control, through WM_GETTEXT (works across processes).
std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);
// A control of a dialog; nullptr and LastError() naming both if missing.
HWND Control(HWND dialog, int id);
// Text of control id of dialog; "" and LastError() if the control is missing.
std::string ControlText(HWND dialog, int id);
// Waits until control id shows `expected`; returns what it shows last.
std::string WaitForControlText(HWND dialog, int id, const std::string& expected,
                               int timeoutMs = 5000);
// Sets the text of an edit control as typing would (WM_SETTEXT).
bool SetControlText(HWND dialog, int id, const std::string& text);
// BST_CHECKED / BST_UNCHECKED of a check box, -1 if missing.
int CheckState(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);
bool IsControlVisible(HWND dialog, int id);

// The text and caption of a message box.
struct MessageBoxText {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
};
MessageBoxText ReadMessageBox(HWND box);
// Waits for a message box of process pid, reads it into *seen, presses its
// OK and waits until it has gone.
bool AnswerMessageBox(DWORD pid, MessageBoxText* seen);

// Presses a button as a click would: the dialog gets WM_COMMAND with
// BN_CLICKED. Posted, so a button that opens a modal window does not block
// the driver. Refuses a missing, hidden or disabled button.
bool PressButton(HWND dialog, int id);
// Presses the OK (or only) button of a message box.
bool PressMessageBoxOk(HWND box);
// Sends a key press (WM_KEYDOWN / WM_CHAR / WM_KEYUP) to a window.
bool SendKey(HWND window, UINT virtualKey, char character = 0);
// Posts WM_CLOSE, as the system menu's close would.
bool PostClose(HWND window);

// ---- Pixels ----------------------------------------------------------------

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row 0 at the top
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
// Copies the screen, or the part of it under rect; or that part of another
// device context.
bool CaptureScreen(Screenshot* shot);
bool CaptureRect(const RECT& rect, Screenshot* shot, HDC source = nullptr);
// Writes a 24-bit BMP.
bool SaveBmp(const Screenshot& shot, const std::string& path);
// Saves the screen to ArtifactsDir()\name.bmp if an artifacts folder is set.
void SaveArtifact(const Screenshot& shot, const std::string& name);

inline int Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
inline int Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline int Blue(uint32_t pixel) { return pixel & 0xFF; }
// True if each channel is within tolerance of r, g, b.
bool IsNear(uint32_t pixel, int r, int g, int b, int tolerance);
// "(r,g,b)" for messages.
std::string Rgb(uint32_t pixel);

// Code page 932 text as UTF-8, for messages.
std::string ToUtf8(const std::string& ansi);

}  // namespace driver
