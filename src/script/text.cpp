#include "text.h"

int CopyText(char* destination, const char* source, int bound)
{
    int count = 0;
    while (count < bound && source[count] != '\0') {
        destination[count] = source[count];
        ++count;
    }
    destination[count] = '\0';
    return count;
}

int AppendText(char* destination, const char* source, int bound)
{
    int length = 0;
    // Stop looking at the bound: bytes past bound + 1 may not even belong to
    // the destination buffer.
    while (length <= bound && destination[length] != '\0')
        ++length;
    if (length > bound)
        return 0;
    return CopyText(destination + length, source, bound - length);
}

const char* SkipBlanks(const char* string)
{
    while (*string == ' ' || *string == '\t')
        ++string;
    return string;
}

char* SkipBlanks(char* string)
{
    return const_cast<char*>(SkipBlanks(static_cast<const char*>(string)));
}

const char* FindChar(const char* string, char character)
{
    for (; *string != '\0'; ++string) {
        if (*string == character)
            return string;
    }
    return nullptr;
}

char* FindChar(char* string, char character)
{
    return const_cast<char*>(FindChar(static_cast<const char*>(string), character));
}
