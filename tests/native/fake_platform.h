// A recording fake of the install's platform, for the unit tests and the
// fuzz target: it plays the copy dialog's message loop (one-shot timer,
// posted steps), writes every operation into a log and counts the calls the
// install must never make (a text past kPathSize, a shortcut at the root or
// after the close, a folder made after the script is freed).
#pragma once

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "install/install_sequence.h"
#include "shell/state.h"

struct Fake {
    std::vector<std::string> log;
    int timer = -1;                           // armed delay, -1 when not armed
    std::vector<std::pair<int, int>> posted;  // step messages in the queue
    int broken = 0;
    // The platform's answers; by default a machine where everything works
    // but folders under C:\Bad. A null folder is found with no path written.
    std::function<bool(const char* source)> copyFails = [](const char*) { return false; };
    std::function<bool(const char* path)> makeFails = [](const char* path) {
        return std::strncmp(path, "C:\\Bad", 6) == 0;
    };
    const char* folders[2] = {"C:\\Menu\\Programs", "C:\\Menu\\StartUp"};
    int found[2] = {1, 1};
    std::function<void(int owner, const char* text)> onBox;  // what the user does in a box
};

inline Fake* fake;

// The backdrop's close handling, as seen from the install: the script is gone.
inline void FreeScript()
{
    std::free(ScriptText);
    ScriptText = nullptr;
}

// The process state as start-up and the settings dialog leave it, the
// script a heap copy of these bytes.
inline void PrepareInstall(const char* script, size_t size, int startMenu, int startUp)
{
    std::free(ScriptText);
    ScriptText = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(ScriptText, script, size);
    ScriptText[size] = '\0';
    std::strcpy(SourceDir, "D:\\medium");
    std::strcpy(WindowsDir, "C:\\WINDOWS");
    std::strcpy(SystemDir, "C:\\WINDOWS\\SYSTEM");
    std::strcpy(InstallDir, "C:\\Pelmora");
    ShellFolderDir[0] = '\0';
    RegisterStartMenu = startMenu;
    RegisterStartUp = startUp;
}

inline void Log(const std::string& line) { fake->log.push_back(line); }
inline std::string Text(const char* text)
{
    fake->broken += std::memchr(text, '\0', kPathSize) == nullptr;
    return text;
}

inline const InstallPlatform kFakePlatform = {
    [](int milliseconds) {
        fake->timer = milliseconds;
        Log("timer " + std::to_string(milliseconds));
    },
    [] { fake->timer = -1; },
    [](int section, int entry) { fake->posted.push_back({section, entry}); },
    [] { Log("close"); },
    [](int id, const char* text) { Log("field " + std::to_string(id) + " " + Text(text)); },
    [](const char* source, const char* destination, int failIfExists) {
        Log("copy " + Text(source) + " > " + Text(destination) + " " + std::to_string(failIfExists));
        return fake->copyFails(source) ? 0 : 1;
    },
    [](int owner, const char* text, int icon) {
        Log("box " + std::to_string(owner) + " " + std::to_string(icon) + " " + Text(text));
        if (fake->onBox)
            fake->onBox(owner, text);
    },
    [](int id, int show) { Log((show ? "show " : "hide ") + std::to_string(id)); },
    [](const char* text) { Log("caption " + Text(text)); },
    [](int folder, char* path) {
        Log("folder " + std::to_string(folder));
        int at = folder == kProgramsFolder ? 0 : 1;
        if (fake->folders[at] != nullptr)
            std::strcpy(path, fake->folders[at]);
        return fake->found[at];
    },
    [](const char* path) {
        Log("mkdir " + Text(path));
        fake->broken += ScriptText == nullptr;
        return fake->makeFails(path) ? 0 : 1;
    },
    [](const char* target, const char* link, const char* workingDirectory, const char* description) {
        Log("link " + Text(link) + " = " + Text(target) + " in " + Text(workingDirectory) + " : " +
            Text(description));
        fake->broken += ScriptText == nullptr || link[0] == '\\';
        for (const std::string& line : fake->log)
            fake->broken += line == "close";
        return 0L;
    },
    [] { Log("end"); },
};

// Runs the dialog's loop until nothing is pending or the dialog has ended,
// at most `limit` steps; each arming of the timer gives one tick. Returns
// the number of steps run.
inline int RunDialog(int limit = 1 << 30)
{
    StartInstall(kFakePlatform);
    int steps = 0;
    while (steps < limit && fake->log.back() != "end" && (fake->timer >= 0 || !fake->posted.empty())) {
        if (fake->posted.empty()) {
            TickInstall(kFakePlatform);
            fake->broken += fake->timer >= 0;
            continue;
        }
        auto step = fake->posted.front();
        fake->posted.erase(fake->posted.begin());
        RunInstallStep(kFakePlatform, step.first, step.second);
        ++steps;
    }
    return steps;
}
