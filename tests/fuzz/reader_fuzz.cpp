// Fuzz target for the script reader and the text helpers. Every destination
// is a heap block of exactly the size the call is given, so AddressSanitizer
// reports any byte written or read beyond it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "script/script.h"
#include "script/text.h"

namespace {

const char* const kNames[] = {
    "init", "Install", "InstallWindows", "InstallSystem", "StarMenuSet", "StartUpSet",
    "BigTitle", "Title", "msga", "Img", "CopyDir", "StartMenuGroup", "", "x",
};
const int kNameCount = sizeof kNames / sizeof kNames[0];

// size is at least 1: the length written, and no more than fits.
void CheckTerminated(const char* destination, int size, int length)
{
    if (length < 0 || length > size - 1 || (length > 0 && strlen(destination) != size_t(length)))
        abort();
}

void FuzzLookups(const char* text, const uint8_t* control)
{
    const char* section = kNames[control[0] % kNameCount];
    const char* key = kNames[control[1] % kNameCount];
    int n = int(int8_t(control[2]));
    int size = 1 + (control[3] | (control[4] & 1) << 8);  // 1..512
    char* destination = static_cast<char*>(malloc(size));
    int length = GetScriptValue(text, section, key, destination, size);
    CheckTerminated(destination, size, length);
    length = GetScriptLine(text, section, n, destination, size);
    CheckTerminated(destination, size, length);
    free(destination);
    MatchName(text, key);
}

void FuzzTextHelpers(const char* text, size_t textLength, const uint8_t* control)
{
    int bound = control[5];
    // Exactly bound + 1 bytes: what the helpers may touch, and no more.
    char* destination = static_cast<char*>(malloc(bound + 1));
    int copied = CopyText(destination, text, bound);
    if (copied > bound || destination[copied] != '\0')
        abort();
    // The destination may already hold more than the bound (no NUL at all).
    size_t prefix = control[6] % (bound + 2);
    for (size_t i = 0; i < prefix && i <= size_t(bound); ++i)
        destination[i] = i < textLength && text[i] != '\0' ? text[i] : 'p';
    if (prefix <= size_t(bound))
        destination[prefix] = '\0';
    AppendText(destination, text, bound);
    free(destination);
    SkipBlanks(text);
    FindChar(text, char(control[7]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t kControl = 8;
    if (size < kControl)
        return 0;
    char* text = static_cast<char*>(malloc(size - kControl + 1));
    memcpy(text, data + kControl, size - kControl);
    text[size - kControl] = '\0';
    FuzzLookups(text, data);
    FuzzTextHelpers(text, size - kControl, data);
    free(text);
    return 0;
}
