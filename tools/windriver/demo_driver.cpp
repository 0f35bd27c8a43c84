// Walks through one whole setup run like a user and shows what it did:
// waits for each window the setup reaches, saves a screenshot of it
// (NN-name.bmp in --artifacts), presses through (install button, OK on every
// message box), then lists what landed in the install folder, the Windows
// and system folders, the Start Menu and StartUp, and the exit code.
// A window that never comes is reported and the backdrop is closed, so the
// demo ends cleanly whatever the program can do so far. At the settings
// dialog it measures what does not fit (fit.h) and reports it at the end.
//
//   demo_driver --setup-exe=X:\...\setup.exe --examples=X:\medium
//               --artifacts=X:\shots [--wait=SECONDS] [--lang=ja|en]
// Exit status: 0 everything fits, 1 something is cut, 2 the setup did not
// run through to its end or could not be measured.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <shlobj.h>
#include <string>
#include <vector>

#include "fit.h"
#include "session.h"

namespace {

int g_waitMs = 20000;
int g_shotNumber = 0;
bool g_japanese = false;

const int kFits = 0, kSomethingCut = 1, kDidNotRun = 2;

void Say(const std::string& ansi)
{
    std::printf("%s\n", driver::ToUtf8(ansi).c_str());
    std::fflush(stdout);
}

void Save(const driver::Screenshot& shot, const std::string& name)
{
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d-", ++g_shotNumber);
    driver::SaveArtifact(shot, prefix + name);
    Say("  screenshot " + std::string(prefix) + name);
}

// Once the screen holds still: a window that has just appeared may not have
// painted all its controls yet, the more so in an emulated 32-bit Wine.
void Shoot(const std::string& name)
{
    driver::Screenshot shot;
    driver::Screenshot before;
    DWORD start = GetTickCount();
    do {
        before = shot;
        Sleep(150);
        if (!driver::CaptureScreen(&shot)) {
            Say("screenshot failed: " + driver::LastError());
            return;
        }
    } while (shot.pixels != before.pixels && GetTickCount() - start < 5000);
    Save(shot, name);
}

// Files (name -> size) directly in dir, or below it with recursive.
std::map<std::string, unsigned long long> Snapshot(const std::string& dir, bool recursive)
{
    std::map<std::string, unsigned long long> files;
    if (dir.empty())
        return files;
    if (recursive) {
        for (const std::string& name : driver::ListFiles(dir)) {
            std::string bytes;
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (GetFileAttributesExA((dir + "\\" + name).c_str(), GetFileExInfoStandard, &data))
                files[name] = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                              data.nFileSizeLow;
        }
        return files;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[data.cFileName] =
                (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return files;
}

struct Place {
    const char* label;
    std::string dir;
    bool recursive;
    std::map<std::string, unsigned long long> before;
};

void ReportNewFiles(const Place& place)
{
    std::map<std::string, unsigned long long> after = Snapshot(place.dir, place.recursive);
    int count = 0;
    Say(std::string(place.label) + " (" + place.dir + "):");
    for (const auto& [name, size] : after) {
        auto old = place.before.find(name);
        if (old != place.before.end() && old->second == size)
            continue;
        char line[64];
        std::snprintf(line, sizeof line, " (%llu bytes)", size);
        Say("  " + name + line);
        ++count;
    }
    if (count == 0)
        Say("  nothing new");
}

bool Ended(driver::Setup* setup, DWORD* code)
{
    return driver::WaitForExit(setup, 0, code);
}

// Presses OK on every message box and photographs the copy dialog until the
// program ends or nothing happens for g_waitMs.
void FollowInstall(driver::Setup* setup, HWND backdrop)
{
    bool copySeen = false;
    DWORD quietSince = GetTickCount();
    DWORD code = 0;
    while (!Ended(setup, &code)) {
        HWND box = driver::FindMessageBox(setup->pid);
        if (box != nullptr) {
            driver::MessageBoxText message = driver::ReadMessageBox(box);
            Say("message box \"" + message.caption + "\": " + message.text);
            Shoot("message");
            if (!driver::PressMessageBoxOk(box))
                Say("cannot press OK: " + driver::LastError());
            driver::WaitForWindowGone(box, 5000);
            quietSince = GetTickCount();
            continue;
        }
        if (!copySeen) {
            HWND copy = driver::FindWindowOf(setup->pid, driver::kDialogClass, driver::kCopyCaption);
            if (copy != nullptr) {
                copySeen = true;
                Say("copy dialog appeared");
                // Soon after the first step: a small medium is copied before the
                // screen holds still.
                driver::Screenshot shot;
                Sleep(70);
                if (driver::CaptureScreen(&shot))
                    Save(shot, "copy");
                quietSince = GetTickCount();
            }
        }
        if (static_cast<int>(GetTickCount() - quietSince) > g_waitMs) {
            if (!copySeen)
                Say("copy dialog did not appear within " + std::to_string(g_waitMs / 1000) + " s");
            else
                Say("the setup did not finish within " + std::to_string(g_waitMs / 1000) +
                    " s of its last window");
            Say("closing the backdrop");
            driver::PostClose(backdrop);
            return;
        }
        Sleep(20);
    }
}

int Run()
{
    std::string medium = driver::ExamplesDir();
    Say("setup.exe: " + driver::SetupExePath());
    Say("medium:    " + medium);

    std::vector<Place> places = {
        {"Windows folder", driver::WindowsDirectory(), false, {}},
        {"system folder", driver::SystemDirectory(), false, {}},
        {"Start Menu programs", driver::ShellFolder(CSIDL_PROGRAMS), true, {}},
        {"StartUp", driver::ShellFolder(CSIDL_STARTUP), true, {}},
    };
    for (Place& place : places)
        place.before = Snapshot(place.dir, place.recursive);

    fit::Report report;
    bool measured = false;
    driver::ScopedSetup setup;
    if (!driver::StartSetup(medium, &setup)) {
        Say(driver::LastError());
        return kDidNotRun;
    }
    std::string installDir;
    HWND backdrop = driver::WaitForWindow(setup.pid, driver::kBackdropClass,
                                          driver::kProgramCaption, g_waitMs);
    if (backdrop == nullptr) {
        Say("backdrop: " + driver::LastError());
        HWND box = driver::FindMessageBox(setup.pid);
        if (box != nullptr) {
            Say("message box: " + driver::ReadMessageBox(box).text);
            Shoot("message");
            driver::PressMessageBoxOk(box);
        }
    } else {
        Say("backdrop appeared");
        driver::Screenshot shot;
        driver::CaptureBackdrop(&shot, 5000);
        Save(shot, "backdrop");
        HWND settings = driver::WaitForDialog(setup.pid, nullptr, g_waitMs);
        if (settings == nullptr) {
            Say("settings dialog did not appear within " + std::to_string(g_waitMs / 1000) +
                " s");
            Say("closing the backdrop");
            driver::PostClose(backdrop);
        } else {
            Say("settings dialog \"" + driver::WindowText(settings) + "\" appeared");
            Shoot("settings");
            std::string script;
            driver::ReadFileBytes(medium + "\\setup.ini", &script);
            measured = fit::MeasureSettings(settings, driver::SetupExePath(), &report);
            if (!measured)
                Say("cannot measure the settings dialog: " + driver::LastError());
            fit::MeasureBigTitle(script, &report);
            installDir = driver::ControlText(settings, IDC_INSTALL_DIR);
            Say("  " + driver::SettingsView(settings));
            Say("pressing " + driver::ControlText(settings, IDC_INSTALL_BUTTON));
            if (!driver::PressButton(settings, IDC_INSTALL_BUTTON)) {
                Say(driver::LastError());
                driver::PostClose(backdrop);
            } else {
                FollowInstall(&setup, backdrop);
            }
        }
    }

    DWORD code = 0;
    if (!driver::WaitForExit(&setup, g_waitMs, &code)) {
        Say(driver::LastError() + "; ending it");
        driver::KillSetup(&setup);
        return kDidNotRun;
    }
    Say("setup.exe exited with code " + std::to_string(code));

    Say("");
    Say("What landed where:");
    if (!installDir.empty()) {
        Place install = {"install folder", installDir, true, {}};
        ReportNewFiles(install);
    }
    for (const Place& place : places)
        ReportNewFiles(place);
    if (!measured)
        return kDidNotRun;
    Say("");
    std::printf("%s", fit::Format(report, g_japanese).c_str());
    // A stand-in without Japanese, or of fixed width, makes every width wrong.
    if (!report.proportional || !report.japanese) {
        Say("the dialog font's stand-in is no proportional Japanese font: the figures are wrong");
        return kDidNotRun;
    }
    return report.Cuts() > 0 ? kSomethingCut : kFits;
}

}  // namespace

int main(int argc, char** argv)
{
    driver::ParseArguments(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--wait=", 7) == 0)
            g_waitMs = std::atoi(argv[i] + 7) * 1000;
        else if (std::strcmp(argv[i], "--lang=ja") == 0)
            g_japanese = true;
    }
    return Run();
}
