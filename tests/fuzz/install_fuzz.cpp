// Fuzz target for the install sequence: a random script and random answers
// from the recording fake of the unit tests (copies that fail, shell folders
// that do not exist or have no path, folders that cannot be made, a cancel
// inside the finish boxes). The steps must always run to their end, exactly
// k0 + k1 + k2 + 3 of them, and the install never make a call the fake
// counts as broken: a text past 259 characters, a shortcut at the root or
// after a cancel has freed the script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "../native/fake_platform.h"
#include "script/script.h"

namespace {

const uint8_t* Choices;
size_t ChoiceCount;
size_t ChoiceAt;

int Choose() { return ChoiceCount == 0 ? 0 : Choices[ChoiceAt++ % ChoiceCount]; }

int CountEntries(const char* section)
{
    char line[kPathSize];
    int n = 0;
    while (GetScriptLine(ScriptText, section, n + 1, line, kPathSize) != 0)
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    size_t choices = data[0] % 32;
    if (choices > size - 4)
        choices = size - 4;
    Choices = data + 4;
    ChoiceCount = choices;
    ChoiceAt = 0;
    PrepareInstall(reinterpret_cast<const char*>(data) + 4 + choices, size - 4 - choices, data[3] & 1,
                   (data[3] >> 1) & 1);
    if (data[1] & 1)
        strcpy(SourceDir, "D:\\");
    memset(InstallDir, 0, kPathSize);
    memset(InstallDir, 'i', data[2] % kPathSize);

    Fake state;
    fake = &state;
    state.copyFails = [](const char*) { return (Choose() & 1) != 0; };
    state.makeFails = [](const char*) { return (Choose() & 1) != 0; };
    for (int at = 0; at < 2; ++at) {
        int choice = Choose();
        state.found[at] = (choice & 3) != 0;
        state.folders[at] = (choice & 4) ? "C:\\users\\u\\Start Menu\\Programs" : "";
    }
    // The finish boxes leave the copy dialog enabled: its button may cancel
    // inside them, and the backdrop then frees the script.
    state.onBox = [](int owner, const char*) {
        if (owner == kOwnerBackdrop && (Choose() & 3) == 0) {
            CancelInstall(kFakePlatform);
            FreeScript();
        }
    };
    const int expected = CountEntries("Install") + CountEntries("InstallWindows") +
                         CountEntries("InstallSystem") + 3;
    if (RunDialog(expected + 1) != expected || state.broken != 0)
        abort();
    FreeScript();
    return 0;
}
