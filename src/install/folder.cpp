#include "folder.h"

#include <windows.h>

#include "../script/text.h"

// 1 when the search for `path` meets a folder, 0 when it meets only other
// entries (wildcards may match several), -1 when it meets nothing.
static int SearchFolder(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    int folder;
    while ((folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == 0 &&
           FindNextFileA(search, &found))
        ;
    FindClose(search);
    return folder;
}

int CreateFolderPath(const char* path)
{
    int exists = SearchFolder(path);
    // Something of that name that is not a folder: nothing to create.
    if (exists >= 0)
        return exists;
    if (CreateDirectoryA(path, nullptr))
        return 1;
    char parent[kPathSize];
    int length = CopyText(parent, path, kPathBound);
    // "Games\" names the folder Games, which the search does not match.
    int trailingSeparator = length > 1 && parent[length - 1] == '\\' && parent[length - 2] != ':';
    while (length > 0 && parent[length - 1] != '\\' && parent[length - 1] != ':')
        --length;
    // A bare drive such as C: is never created: the search stops there.
    if (length == 0 || parent[length - 1] == ':')
        return 0;
    parent[length - 1] = '\0';
    if (CreateFolderPath(parent) == 0)
        return 0;
    // The whole path, not the copy, which may be cut at the bound. A path
    // with a trailing "\" that names an existing folder is not matched by the
    // search and cannot be created again: it exists all the same.
    if (CreateDirectoryA(path, nullptr))
        return 1;
    if (!trailingSeparator)
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
