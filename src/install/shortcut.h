// Shortcut writer: one .lnk file through the shell's link object.
#pragma once

// Writes `link` pointing at `target`, starting in `workingDirectory`, with
// `description`; ANSI strings. Returns the HRESULT (negative on failure).
// Leaves COM initialised on the calling thread.
long CreateShortcut(const char* target, const char* link, const char* workingDirectory,
                    const char* description);
