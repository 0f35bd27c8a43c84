// Text for people: the script's Shift-JIS bytes turned into UTF-8 for the
// report, and the report written to standard output in the form the host
// shows (UTF-8 on Linux, the console's code page on Windows).
#pragma once

#include <string>

// Shift-JIS (code page 932) to UTF-8. A byte that starts no valid character
// is shown as \xNN, so a cut or mistyped character stays visible.
std::string SjisToUtf8(const std::string& bytes);

#include "messages.h"

// Writes UTF-8 text to standard output, or to standard error. On Windows a
// console gets it through WriteConsoleW; redirected output is converted to
// the console's output code page (the ANSI code page when there is no
// console).
void WriteOutput(const std::string& utf8, bool error = false);

// The user's language: on Windows Japanese when the user's UI language is
// Japanese or the console shows code page 932, on Linux by the locale.
Language UserLanguage();
