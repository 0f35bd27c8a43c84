// setupcheck [--json] [medium-folder]
//
// Tells a vendor what setup.exe will show and do with a medium, and what will
// go wrong, before the medium ships. Exit status: 0 nothing would fail, 1
// something would, 2 no readable setup.ini (or a bad command line).
#include <cstdio>
#include <string>
#include <vector>

#include "check.h"
#include "display.h"
#include "medium.h"
#include "report.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char kUsage[] =
    "usage: setupcheck [--json] [medium-folder]\n"
    "Checks setup.ini and the files of a Pelmora Setup medium (default: the\n"
    "current folder). Exit status: 0 nothing would fail, 1 something would,\n"
    "2 no readable setup.ini.\n";

// setup.exe refuses a script of 4 GiB or more; nothing near that is read here.
const size_t kScriptLimit = 64u << 20;

int Run(const std::vector<std::string>& args)
{
    bool json = false;
    std::string folder;
    bool haveFolder = false;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--help" || arg == "-h") {
            WriteOutput(kUsage);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "setupcheck: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else if (!haveFolder) {
            folder = arg;
            haveFolder = true;
        } else {
            std::fprintf(stderr, "setupcheck: one medium folder at a time\n%s", kUsage);
            return 2;
        }
    }
    std::string shown = haveFolder ? folder : ".";
    std::unique_ptr<Medium> medium = OpenMediumFolder(folder);
    FileState state = medium->Probe("setup.ini");
    std::string script;
    if (!state.found || state.folder || state.size >= kScriptLimit ||
        !medium->Read("setup.ini", kScriptLimit, &script)) {
        WriteOutput(RenderNoScript(shown, json));
        return 2;
    }
    Report report = CheckMedium(script, *medium);
    WriteOutput(json ? RenderJson(report, shown) : RenderText(report, shown));
    return ExitStatus(report);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? size - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, &arg[0], size, nullptr, nullptr);
        args.push_back(arg);
    }
    return Run(args);
}
#else
int main(int argc, char** argv)
{
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
