// Fuzz target for the settings dialog's decisions: the check of a typed
// install directory and the path that browsing composes. Buffers are heap
// blocks of exactly kPathSize bytes, as in the dialog, so AddressSanitizer
// reports any byte touched beyond them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/settings_logic.h"
#include "shell/state.h"

namespace {

char* PathBufferFrom(const uint8_t* data, size_t size)
{
    char* buffer = static_cast<char*>(malloc(kPathSize));
    size_t length = size < size_t(kPathBound) ? size : size_t(kPathBound);
    memcpy(buffer, data, length);
    buffer[length] = '\0';
    return buffer;
}

bool Terminated(const char* buffer)
{
    return memchr(buffer, '\0', kPathSize) != nullptr;
}

void CheckEntry(const uint8_t* data, size_t size)
{
    char* text = PathBufferFrom(data, size);
    char* installDir = static_cast<char*>(malloc(kPathSize));
    strcpy(installDir, "C:\\Pelmora");
    int result = CheckInstallEntry(text, installDir);
    if (!Terminated(text) || !Terminated(installDir))
        abort();
    if (result == kEntryAccepted) {
        size_t length = strlen(installDir);
        // What is stored never ends with a separator and holds no refused character.
        if (length > 0 && installDir[length - 1] == '\\')
            abort();
        for (const char* c = kForbiddenCharacters; *c != '\0'; ++c) {
            if (*c != ':' && strchr(installDir, *c) != nullptr)
                abort();
        }
    } else if (strcmp(installDir, "C:\\Pelmora") != 0) {
        abort();  // a refused entry leaves the proposal alone
    }
    free(installDir);
    free(text);
}

void ComposeBrowsed(const uint8_t* data, size_t size)
{
    size_t split = size > 0 ? data[0] % (size + 1) : 0;
    char* installDir = PathBufferFrom(data, split);
    char* path = PathBufferFrom(data + split, size - split);
    ComposeBrowsedPath(path, installDir);
    if (!Terminated(path))
        abort();
    free(path);
    free(installDir);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckEntry(data, size);
    ComposeBrowsed(data, size);
    return 0;
}
