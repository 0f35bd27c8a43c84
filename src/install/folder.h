// Folder path creation: a folder and its missing parents, outermost first.
#pragma once

// 1 when `path` exists as a folder or has been created, 0 otherwise. A file
// standing where the folder should be gives 0. Never creates a bare drive:
// the search for parents stops at a colon. Folders made before a later
// failure stay.
int CreateFolderPath(const char* path);
