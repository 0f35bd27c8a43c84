#include "script.h"

#include "text.h"

namespace {

inline bool IsLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline unsigned char Upper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

inline bool IsLineStop(unsigned char c)
{
    return c == '\0' || c == '\n' || c == '\r';
}

// The line is never copied unless it is the answer, which keeps a lookup one
// pass over the text with no work per byte beyond finding the line end.
const char* ReadLine(const char* cursor, ScriptLine* line)
{
    line->begin = cursor;
    const char* limit = cursor + kScriptLineLength;
    while (cursor != limit && !IsLineStop(static_cast<unsigned char>(*cursor)))
        ++cursor;
    line->end = cursor;
    // A cut line: drop its tail up to the line end.
    while (!IsLineStop(static_cast<unsigned char>(*cursor)))
        ++cursor;
    if (*cursor == '\n' || *cursor == '\r')
        ++cursor;
    return cursor;
}

// MatchName over a line that ends at `end` rather than at a NUL.
bool MatchNameIn(const char* text, const char* end, const char* name)
{
    for (;;) {
        unsigned char a = text != end ? static_cast<unsigned char>(*text) : 0;
        unsigned char b = static_cast<unsigned char>(*name);
        bool letterA = IsLetter(a);
        bool letterB = IsLetter(b);
        if (!letterA || !letterB || Upper(a) != Upper(b))
            return !letterA && !letterB;
        ++text;
        ++name;
    }
}

const char* FindCharIn(const char* text, const char* end, char character)
{
    for (; text != end; ++text) {
        if (*text == character)
            return text;
    }
    return nullptr;
}

int CopyBytes(const char* begin, const char* end, char* destination, int size)
{
    if (size <= 0)
        return 0;
    int count = 0;
    while (begin != end && count < size - 1)
        destination[count++] = *begin++;
    destination[count] = '\0';
    return count;
}

// Walks the text and calls `onEntry` for each entry line of `section` with
// the line from its lead byte. Stops when onEntry returns a result >= 0.
template <typename OnEntry>
int ScanSection(const char* text, const char* section, OnEntry onEntry)
{
    bool open = false;
    const char* cursor = text;
    while (*cursor != '\0') {
        ScriptLine line;
        cursor = ReadLine(cursor, &line);
        const char* lead = line.begin;
        while (lead != line.end && (*lead == ' ' || *lead == '\t'))
            ++lead;
        if (lead == line.end || *lead == ';')
            continue;
        if (*lead == '[') {
            const char* name = lead + 1;
            while (name != line.end && (*name == ' ' || *name == '\t'))
                ++name;
            open = MatchNameIn(name, line.end, section)
                && FindCharIn(name, line.end, ']') != nullptr;
            continue;
        }
        if (!open)
            continue;
        int result = onEntry(lead, line.end);
        if (result >= 0)
            return result;
    }
    return 0;
}

}  // namespace

// The reader's own line reading, for the medium checker; setup.exe's lookups
// call ReadLine directly so that it stays a function of this file alone.
const char* ReadScriptLine(const char* cursor, ScriptLine* line)
{
    return ReadLine(cursor, line);
}

int MatchName(const char* text, const char* name)
{
    return MatchNameIn(text, nullptr, name) ? 1 : 0;
}

int GetScriptValue(const char* text, const char* section, const char* key,
                   char* destination, int size)
{
    return ScanSection(text, section, [&](const char* lead, const char* end) {
        if (!MatchNameIn(lead, end, key))
            return -1;
        const char* equals = FindCharIn(lead, end, '=');
        if (equals == nullptr)
            return -1;
        return CopyBytes(equals + 1, end, destination, size);
    });
}

int GetScriptLine(const char* text, const char* section, int n,
                  char* destination, int size)
{
    if (n < 1)
        n = 1;
    return ScanSection(text, section, [&](const char* lead, const char* end) {
        int length = CopyBytes(lead, end, destination, size);
        if (length > 0 && --n <= 0)
            return length;
        return -1;
    });
}
