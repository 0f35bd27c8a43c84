#include "display.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

void AppendEscape(std::string* out, unsigned char byte)
{
    static const char digits[] = "0123456789ABCDEF";
    *out += "\\x";
    *out += digits[byte >> 4];
    *out += digits[byte & 15];
}

}  // namespace

#ifdef _WIN32

namespace {

UINT OutputCodePage()
{
    UINT codePage = GetConsoleOutputCP();
    return codePage != 0 ? codePage : GetACP();
}

}  // namespace

// Converts one character (one or two bytes) at a time so that a bad byte
// costs only itself.
std::string SjisToUtf8(const std::string& bytes)
{
    std::string out;
    for (size_t i = 0; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        int length = lead && i + 1 < bytes.size() ? 2 : 1;
        wchar_t wide[2];
        int count = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + i, length, wide, 2);
        char utf8[8];
        int written = count > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, count, utf8, sizeof utf8, nullptr, nullptr) : 0;
        if (written > 0) {
            out.append(utf8, written);
            i += length;
        } else {
            AppendEscape(&out, c);
            ++i;
        }
    }
    return out;
}

void WriteOutput(const std::string& utf8, bool error)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode;
    DWORD written;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    UINT codePage = OutputCodePage();
    int size = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), length, &bytes[0], size, nullptr, nullptr);
    FILE* stream = error ? stderr : stdout;
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

Language UserLanguage()
{
    // Windows 95, 98 and NT 4.0 have no GetUserDefaultUILanguage; there the
    // language of the user's locale stands in for it.
    typedef LANGID(WINAPI * UiLanguage)();
    UiLanguage uiLanguage = reinterpret_cast<UiLanguage>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetUserDefaultUILanguage")));
    LANGID language = uiLanguage != nullptr ? uiLanguage() : GetUserDefaultLangID();
    return PRIMARYLANGID(language) == LANG_JAPANESE || OutputCodePage() == 932 ? kJapanese : kEnglish;
}

#else

std::string SjisToUtf8(const std::string& bytes)
{
    std::string out;
    iconv_t convert = iconv_open("UTF-8", "CP932");
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        for (unsigned char c : bytes) {
            if (c < 0x80)
                out += static_cast<char>(c);
            else
                AppendEscape(&out, c);
        }
        return out;
    }
    std::string input = bytes;
    char* in = &input[0];
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char buffer[1024];
        char* outCursor = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(convert, &in, &inLeft, &outCursor, &outLeft);
        out.append(buffer, static_cast<size_t>(outCursor - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or incomplete character: show its first byte, go on.
            AppendEscape(&out, static_cast<unsigned char>(*in));
            ++in;
            --inLeft;
            iconv(convert, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(convert);
    return out;
}

void WriteOutput(const std::string& utf8, bool error)
{
    FILE* stream = error ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

Language UserLanguage()
{
    return LanguageOfLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

#endif
