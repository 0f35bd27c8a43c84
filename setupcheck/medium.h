// The medium folder on the host the checker runs on.
//
// On Windows names are looked up as setup.exe sees them: the script's bytes
// as Shift-JIS (code page 932, whatever the system's own code page), without
// case. On Linux a medium folder usually holds its names in UTF-8 while the
// script holds them in Shift-JIS, so each part of a name is looked up by its
// raw bytes first, then by its UTF-8 form, each exactly and then without ASCII
// case; trailing blanks and dots are ignored as Windows ignores them.
#pragma once

#include <memory>
#include <string>

#include "check.h"

// `folder` is UTF-8 text (converted from the command line on Windows).
std::unique_ptr<Medium> OpenMediumFolder(const std::string& folder);
