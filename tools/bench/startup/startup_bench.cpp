// Start-up time: from CreateProcess of setup.exe to its settings dialog on
// the screen, against a reference program that shows a message box and
// quits. Both run under the same Wine session, so what Wine costs to start
// any Win32 program with a window cancels out in the ratio.
// Usage: startup_bench.exe <setup.exe> <medium dir> <reference.exe> [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const DWORD kTimeoutMs = 30000;

double Now()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

struct Found {
    DWORD pid;
    const char* caption;  // nullptr: any
    HWND window;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter)
{
    Found* found = reinterpret_cast<Found*>(parameter);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (pid != found->pid || !IsWindowVisible(window) || std::string(className) != "#32770")
        return TRUE;
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (found->caption != nullptr && std::string(caption) != found->caption)
        return TRUE;
    found->window = window;
    return FALSE;
}

// Starts the program and returns the milliseconds until its dialog (or
// message box) is visible; then closes it and waits for the process to end.
double TimeToDialog(const std::string& program, const std::string& directory,
                    const char* caption, bool closeBackdrop)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    double start = Now();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
    }
    Found found = {process.dwProcessId, caption, nullptr};
    while (found.window == nullptr && Now() - start < kTimeoutMs) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window == nullptr)
            Sleep(1);
    }
    double elapsed = Now() - start;
    if (found.window == nullptr) {
        std::fprintf(stderr, "%s showed no dialog within %lu ms\n", program.c_str(), kTimeoutMs);
        TerminateProcess(process.hProcess, 1);
        std::exit(1);
    }
    if (closeBackdrop) {
        // Closing the backdrop ends setup.exe as cancel would.
        HWND backdrop = FindWindowA("Pelmora_Setup", nullptr);
        PostMessageA(backdrop, WM_CLOSE, 0, 0);
    } else {
        PostMessageA(found.window, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench setup.exe medium-dir reference.exe [rounds]\n");
        return 2;
    }
    const std::string setup = argv[1], medium = argv[2], reference = argv[3];
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 7;
    // One warm-up each: the first start of a program pays for loading its DLLs.
    TimeToDialog(reference, "", nullptr, false);
    TimeToDialog(setup, medium, nullptr, true);
    std::vector<double> setupTimes, referenceTimes;
    for (int round = 0; round < rounds; ++round) {
        referenceTimes.push_back(TimeToDialog(reference, "", nullptr, false));
        setupTimes.push_back(TimeToDialog(setup, medium, nullptr, true));
        std::printf("round %d: setup %.1f ms, message box %.1f ms\n", round + 1,
                    setupTimes.back(), referenceTimes.back());
    }
    double setupMedian = Median(setupTimes), referenceMedian = Median(referenceTimes);
    std::printf("start-up to the settings dialog: median %.1f ms; a message-box program: %.1f ms; "
                "ratio %.2f\n", setupMedian, referenceMedian, setupMedian / referenceMedian);
    return 0;
}
