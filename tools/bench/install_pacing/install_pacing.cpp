// Install pacing. The install copies one file per step of a one-shot timer
// (50 ms before the first step, 10 ms between steps), so its duration is set
// by the timer, not by the copies. This measures, in one run:
//   - the real copy dialog (CopyDlgProc) over N files of 4 KiB, from its first
//     tick to the completion box;
//   - a bare reference dialog on the same template that does per step only
//     what no install can do without: re-arm the one-shot timer, one
//     CopyFileA and the two field texts;
//   - both against the floor of 50 ms + 10 ms for each of the N + 3 steps.
// Usage: install_pacing.exe [files] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../../../res/resource.h"
#include "install/copy_dialog.h"
#include "shell/handles.h"
#include "shell/state.h"

namespace {

const int kFileSize = 4096;
const int kSectionEnds = 3;  // one step per section that finds its end
const UINT_PTR kTimer = 1;

LARGE_INTEGER Frequency;
double FirstTick;    // ms, first WM_TIMER of the dialog under measure
double Started;      // ms, just before the dialog is opened
double Completed;    // ms, completion box up / reference's last step done

double Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(Frequency.QuadPart);
}

// The first tick of whichever dialog runs: seen as the loop takes it.
LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && message->message == WM_TIMER && FirstTick == 0)
        FirstTick = Now();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The completion box (the copy dialog reads "インストール中..." when it is
// activated): stamped as it is activated, then closed as OK would.
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char caption[128] = "";
        GetWindowTextA(window, caption, sizeof caption);
        if (std::string(caption) == kProgramCaption) {
            Completed = Now();
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- The bare reference ----------------------------------------------------

std::vector<std::string> ReferenceSources;
std::vector<std::string> ReferenceTargets;
int ReferenceStep;

void OnReferenceStep(HWND dialog)
{
    int file = ReferenceStep++;
    if (file < int(ReferenceSources.size())) {
        SetDlgItemTextA(dialog, IDC_SOURCE_PATH, ReferenceSources[file].c_str());
        SetDlgItemTextA(dialog, IDC_DESTINATION_PATH, ReferenceTargets[file].c_str());
        CopyFileA(ReferenceSources[file].c_str(), ReferenceTargets[file].c_str(), FALSE);
    }
    if (ReferenceStep < int(ReferenceSources.size()) + kSectionEnds) {
        SetTimer(dialog, kTimer, 10, nullptr);
        return;
    }
    Completed = Now();
    EndDialog(dialog, 0);
}

INT_PTR CALLBACK ReferenceDlgProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ReferenceStep = 0;
        SetTimer(dialog, kTimer, 50, nullptr);
        return TRUE;
    case WM_TIMER:
        KillTimer(dialog, kTimer);
        PostMessageA(dialog, WM_INSTALL_STEP, 0, 0);
        return TRUE;
    case WM_INSTALL_STEP:
        OnReferenceStep(dialog);
        return TRUE;
    }
    return FALSE;
}

// ---- Set-up ----------------------------------------------------------------

void RemoveFolder(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((dir + "\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string MakeMedium(const std::string& medium, int files, std::string* script)
{
    CreateDirectoryA(medium.c_str(), nullptr);
    std::string block(kFileSize, 'p');
    *script = "[Install]\r\n";
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%04d.dat", i);
        *script += std::string(name) + "\r\n";
        HANDLE file = CreateFileA((medium + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written;
        WriteFile(file, block.data(), kFileSize, &written, nullptr);
        CloseHandle(file);
        ReferenceSources.push_back(medium + "\\" + name);
    }
    return *script;
}

struct Figure {
    double fromTick;
    double fromStart;
};

Figure Measure(bool real, const std::string& out)
{
    RemoveFolder(out);
    if (!real)
        CreateDirectoryA(out.c_str(), nullptr);
    FirstTick = 0;
    Completed = 0;
    Started = Now();
    if (real)
        DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_COPY), BackdropWindow, CopyDlgProc, 0);
    else
        DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_COPY), BackdropWindow,
                        ReferenceDlgProc, 0);
    // The install ends through the backdrop's quit message; take it here.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ;
    return {Completed - FirstTick, Completed - Started};
}

}  // namespace

int main(int argc, char** argv)
{
    int files = argc > 1 ? std::atoi(argv[1]) : 300;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    QueryPerformanceFrequency(&Frequency);
    InstanceHandle = GetModuleHandleA(nullptr);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "pelmora-pacing";
    CreateDirectoryA(base.c_str(), nullptr);
    std::string medium = base + "\\medium";
    std::string script;
    MakeMedium(medium, files, &script);
    std::string realOut = base + "\\installed";
    std::string referenceOut = base + "\\reference";
    for (int i = 0; i < files; ++i) {
        std::string name = ReferenceSources[i].substr(medium.size());
        ReferenceTargets.push_back(referenceOut + name);
    }

    // The process state as the settings dialog leaves it: no shortcuts.
    ScriptText = &script[0];
    lstrcpyA(SourceDir, medium.c_str());
    lstrcpyA(InstallDir, realOut.c_str());
    lstrcpyA(WindowsDir, base.c_str());
    lstrcpyA(SystemDir, base.c_str());

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hInstance = InstanceHandle;
    windowClass.lpszClassName = "PelmoraPacingBackdrop";
    RegisterClassA(&windowClass);
    BackdropWindow = CreateWindowExA(0, windowClass.lpszClassName, "pacing", WS_POPUP, 0, 0, 8,
                                     8, nullptr, nullptr, InstanceHandle, nullptr);
    SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());

    int steps = files + kSectionEnds;
    double floor = 50.0 + 10.0 * steps;
    std::printf("install pacing: %d files of %d bytes, %d steps\n", files, kFileSize, steps);
    std::printf("floor: 50 ms + 10 ms x %d steps = %.0f ms\n", steps, floor);
    std::printf("%-6s %-10s %12s %12s %9s %9s %11s\n", "round", "dialog", "tick->end", "open->end",
                "/floor", "", "/reference");
    // Rounds alternate the two dialogs, so that a busy machine slows both.
    std::vector<double> ratios, referenceFloors, installFloors;
    for (int round = 1; round <= rounds; ++round) {
        Figure reference = Measure(false, referenceOut);
        Figure install = Measure(true, realOut);
        ratios.push_back(install.fromTick / reference.fromTick);
        referenceFloors.push_back(reference.fromStart / floor);
        installFloors.push_back(install.fromStart / floor);
        std::printf("%-6d %-10s %9.1f ms %9.1f ms %9.3f\n", round, "reference", reference.fromTick,
                    reference.fromStart, reference.fromStart / floor);
        std::printf("%-6d %-10s %9.1f ms %9.1f ms %9.3f %9s %11.3f\n", round, "install",
                    install.fromTick, install.fromStart, install.fromStart / floor, "",
                    install.fromTick / reference.fromTick);
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::printf("median: reference %.3f x floor, install %.3f x floor, install / reference %.3f\n",
                median(referenceFloors), median(installFloors), median(ratios));
    return 0;
}
