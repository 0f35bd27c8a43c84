// Where the program's DLLs come from. Windows looks for a DLL that is not a
// known system DLL in the program's own folder first, and the program's
// folder is the medium, or a download folder that anyone may have put a
// DLL into. Everything that setup, the shell or COM loads by name must come
// from the system directory instead.
#pragma once

#include <windows.h>

// True when "<this program>.local" exists beside the program: from Windows
// 2000 on it redirects DLL loads into itself, even loads by full path.
bool HasDotLocal();

// Restricts later loads by name to the system directory. Where the system
// cannot (before Windows 8 or 7 with KB2533623, and on Vista, whose shell
// link object fails under the restriction), leaves the current directory out
// of the search and loads now, by full path, the DLLs that the shell and COM
// would load by name later. Runs before anything loads a DLL by name.
void RestrictDllSearch();

// A DLL of the system directory by its full path; null if it is absent.
HMODULE LoadSystemLibrary(const char* name);
