// How fast the reader answers: walking a 1000-entry section (1001 passes,
// one per entry and one that finds the end) and looking up every [init] key,
// on a generated script of about 40 KB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "script/keys.h"
#include "script/script.h"

namespace {

const int kEntries = 1000;
const char* const kInitKeys[] = {
    KEY_BIG_TITLE, KEY_TITLE, "msga", "msgb", "msgc", "msgd", "msge", "msgf", "msgg",
    KEY_IMAGE, KEY_DEFAULT_START_MENU, KEY_DEFAULT_START_UP, KEY_COPY_DIR, KEY_START_MENU_GROUP,
};

std::string MakeScript()
{
    std::string text = "; generated for the reader benchmark\r\n[init]\r\n";
    for (const char* key : kInitKeys)
        text += std::string(key) + "=value of " + key + "\r\n";
    text += "\r\n[Install]\r\n";
    char line[64];
    for (int i = 1; i <= kEntries; ++i) {
        std::snprintf(line, sizeof line, "data\\chapter%02d\\section%02d\\file%04d.dat\r\n", i % 40, i % 7, i);
        text += line;
    }
    text += "[InstallWindows]\r\npelmora.ini\r\n[StarMenuSet]\r\nTool|tool.exe\r\n";
    return text;
}

const std::string& Script()
{
    static const std::string script = MakeScript();
    return script;
}

// Bytes a pass reads before it answers: up to the end of the line it returns,
// or the whole text when the answer is 0.
size_t BytesUpToEntry(const std::string& text, int n)
{
    size_t at = text.find("[Install]");
    for (int i = 0; i <= n && at != std::string::npos; ++i)
        at = text.find('\n', at + 1);
    return at == std::string::npos ? text.size() : at;
}

void WalkInstallSection(benchmark::State& state)
{
    const std::string& text = Script();
    size_t scanned = text.size();
    for (int n = 1; n <= kEntries; ++n)
        scanned += BytesUpToEntry(text, n);
    char destination[260];
    for (auto _ : state) {
        int count = 0;
        for (int n = 1; GetScriptLine(text.c_str(), SECTION_INSTALL, n, destination, 260) != 0; ++n)
            ++count;
        if (count != kEntries)
            state.SkipWithError("wrong entry count");
        benchmark::DoNotOptimize(destination);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(scanned));
    state.counters["script_bytes"] = double(text.size());
}

void LookUpEveryInitKey(benchmark::State& state)
{
    const std::string& text = Script();
    char destination[256];
    size_t scanned = 0;
    for (const char* key : kInitKeys)
        scanned += text.find('\n', text.find(std::string(key) + "=")) + 1;
    for (auto _ : state) {
        for (const char* key : kInitKeys) {
            if (GetScriptValue(text.c_str(), SECTION_INIT, key, destination, 256) == 0)
                state.SkipWithError("key not found");
        }
        benchmark::DoNotOptimize(destination);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(scanned));
}

}  // namespace

BENCHMARK(WalkInstallSection)->Unit(benchmark::kMillisecond);
BENCHMARK(LookUpEveryInitKey)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
