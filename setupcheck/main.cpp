// setupcheck [--json] [--lang ja|en] [medium-folder]
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
#include "messages.h"
#include "report.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// setup.exe refuses a script of 4 GiB or more; nothing near that is read here.
const size_t kScriptLimit = 64u << 20;

bool LanguageNamed(const std::string& name, Language* language)
{
    if (name != "ja" && name != "en")
        return false;
    *language = name == "ja" ? kJapanese : kEnglish;
    return true;
}

// A bad command line: the complaint and the usage, exit status 2.
int Refuse(Language language, MessageId complaint, const std::string& arg)
{
    WriteOutput(Message(language, complaint, {MessageArg::Utf8(arg)}) + Message(language, kMsgUsage), true);
    return 2;
}

int Run(const std::vector<std::string>& args)
{
    Language language = UserLanguage();
    // --lang first, so that every complaint about the rest is in its language.
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" || args[i].compare(0, 7, "--lang=") == 0) {
            std::string name = args[i].size() > 6 ? args[i].substr(7) : i + 1 < args.size() ? args[i + 1] : "";
            if (!LanguageNamed(name, &language))
                return Refuse(language, kMsgBadLanguage, "");
        }
    }
    bool json = false;
    std::string folder;
    bool haveFolder = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--lang") {
            ++i;
        } else if (arg.compare(0, 7, "--lang=") == 0) {
        } else if (arg == "--help" || arg == "-h") {
            WriteOutput(Message(language, kMsgUsage));
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Refuse(language, kMsgUnknownOption, arg);
        } else if (!haveFolder) {
            folder = arg;
            haveFolder = true;
        } else {
            return Refuse(language, kMsgOneFolder, arg);
        }
    }
    std::string shown = haveFolder ? folder : ".";
    std::unique_ptr<Medium> medium = OpenMediumFolder(folder);
    FileState state = medium->Probe("setup.ini");
    std::string script;
    if (!state.found || state.folder || state.size >= kScriptLimit ||
        !medium->Read("setup.ini", kScriptLimit, &script)) {
        WriteOutput(RenderNoScript(shown, json, language));
        return 2;
    }
    Report report = CheckMedium(script, *medium);
    WriteOutput(json ? RenderJson(report, shown) : RenderText(report, shown, language));
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
