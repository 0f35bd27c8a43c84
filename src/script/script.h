// Reader for setup.ini held in memory as one NUL-terminated text.
//
// Every lookup scans the text from its first byte: nothing is parsed ahead,
// cached or indexed, and the text is never written. Lines end at CR or LF and
// are read up to 255 characters; the rest of a longer line is skipped up to
// its line end, so a tail of a long line is never taken for a line of its own.
#pragma once

// Longest line the reader takes, not counting its terminator.
const int kScriptLineLength = 255;
// Size of the buffers that script values and lines are read into by the
// settings dialog: a whole line fits.
const int kValueSize = kScriptLineLength + 1;

// One line as every lookup reads it, in place: [begin, end) holds at most
// kScriptLineLength bytes. Every CR and every LF ends a line, so CR LF is a
// line and an empty one.
struct ScriptLine {
    const char* begin;
    const char* end;
};

// Reads the line at `cursor`, which is not the NUL, and returns where the
// next line begins: past the line's own end and its terminator, if any.
const char* ReadScriptLine(const char* cursor, ScriptLine* line);

// Value of `key` in section `section`: the bytes after the first "=" of the
// first key line, at most size - 1 of them plus a NUL. Returns their count;
// 0 means absent or empty.
int GetScriptValue(const char* text, const char* section, const char* key,
                   char* destination, int size);

// The n-th entry line of `section` (n below 1 counts as 1), from its lead
// byte, at most size - 1 bytes plus a NUL. Returns its length; 0 when the
// section has fewer than n entries.
int GetScriptLine(const char* text, const char* section, int n,
                  char* destination, int size);

// 1 when the leading runs of ASCII letters of both strings are equal apart
// from ASCII case (whatever follows them is not compared), else 0.
int MatchName(const char* text, const char* name);
