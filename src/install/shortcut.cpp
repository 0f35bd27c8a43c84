#include "shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "../script/text.h"

// Our own copies of the identifiers, so that setup.exe links no libuuid.
static const GUID kShellLinkClass =
    {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID kShellLinkInterface =
    {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID kPersistFileInterface =
    {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

long CreateShortcut(const char* target, const char* link, const char* workingDirectory,
                    const char* description)
{
    // After the first call this only reports that COM is already set up.
    CoInitialize(nullptr);
    IShellLinkA* shellLink;
    HRESULT result = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                      kShellLinkInterface, reinterpret_cast<void**>(&shellLink));
    if (FAILED(result))
        return result;
    shellLink->SetPath(target);
    shellLink->SetWorkingDirectory(workingDirectory);
    shellLink->SetDescription(description);
    IPersistFile* file;
    result = shellLink->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        // Save takes the name in UTF-16; 259 ANSI bytes never need more. A
        // longer name would leave the buffer without its NUL: refused.
        WCHAR wideLink[kPathSize];
        result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        if (MultiByteToWideChar(CP_ACP, 0, link, -1, wideLink, kPathSize) != 0)
            result = file->Save(wideLink, TRUE);
        file->Release();
    }
    shellLink->Release();
    return result;
}
