// Bounded text helpers: every path and message of the program is built with
// these. Byte-oriented on purpose: a Shift-JIS trail byte that equals the byte
// sought is found like any other byte.
#pragma once

// MAX_PATH: 259 characters and the NUL. Every path lives in a buffer of this size.
const int kPathSize = 260;
// Character bound for CopyText/AppendText on a kPathSize buffer.
const int kPathBound = kPathSize - 1;

// Copies at most `bound` characters of `source` and always writes the NUL
// (bound + 1 bytes at most). Returns the length now in `destination`.
int CopyText(char* destination, const char* source, int bound);

// Appends so that the whole string stays within `bound` characters. Returns
// the number of characters appended. A destination already longer than the
// bound is left untouched and 0 is returned.
int AppendText(char* destination, const char* source, int bound);

// First byte that is neither a space nor a tab (possibly the NUL).
const char* SkipBlanks(const char* string);
char* SkipBlanks(char* string);

// First byte equal to `character` before the NUL, or null. Never finds the NUL.
const char* FindChar(const char* string, char character);
char* FindChar(char* string, char character);
