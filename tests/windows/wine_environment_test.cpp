// What every other Windows and end-to-end test takes for granted about the
// machine they run on: the Japanese code page, a font with Japanese glyphs
// behind the face name the dialogs ask for, and a true-colour screen. A
// broken test machine fails here with a plain message instead of elsewhere
// with a puzzling one.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

namespace {

TEST(WineEnvironment, AnsiCodePageIsShiftJis)
{
    EXPECT_EQ(GetACP(), 932u) << "run under LC_ALL=ja_JP.UTF-8 (tools/wine-run.sh sets it)";
    // Literals are compiled to Shift-JIS; the window system must read them so.
    wchar_t wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "セットアップ", -1, wide, 8), 7);
    EXPECT_EQ(std::wstring(wide), std::wstring(L"\u30BB\u30C3\u30C8\u30A2\u30C3\u30D7"));
}

// The monochrome bitmap of one character in the selected font.
std::string GlyphBitmap(HDC dc, wchar_t character)
{
    GLYPHMETRICS metrics = {};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    DWORD size = GetGlyphOutlineW(dc, character, GGO_BITMAP, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR)
        return "error";
    std::string bits(size, '\0');
    if (size > 0)
        GetGlyphOutlineW(dc, character, GGO_BITMAP, &metrics, size, &bits[0], &identity);
    return bits;
}

TEST(WineEnvironment, DialogFontHasJapaneseGlyphs)
{
    struct Row {
        const char* face;
        BYTE charset;
    };
    // The dialogs' face, and what the backdrop's title asks for (no face, OEM).
    const Row rows[] = {
        {"ＭＳ Ｐゴシック", SHIFTJIS_CHARSET},
        {"", OEM_CHARSET},
    };
    HDC dc = GetDC(nullptr);
    for (const Row& row : rows) {
        LOGFONTA logical = {};
        logical.lfHeight = -12;
        logical.lfCharSet = row.charset;
        lstrcpynA(logical.lfFaceName, row.face, LF_FACESIZE);
        HFONT font = CreateFontIndirectA(&logical);
        ASSERT_NE(font, nullptr);
        HGDIOBJ previous = SelectObject(dc, font);
        // A missing glyph is drawn as the font's one empty box: the five
        // characters and an unassigned one must all look different.
        std::set<std::string> shapes;
        for (wchar_t character : std::wstring(L"\u307A\u308B\u3082\u88FD\u54C1\uE000"))
            shapes.insert(GlyphBitmap(dc, character));  // ぺるも製品 + unassigned
        char faceUsed[LF_FACESIZE] = "";
        GetTextFaceA(dc, LF_FACESIZE, faceUsed);
        EXPECT_EQ(6u, shapes.size()) << "characters look the same in font \"" << faceUsed << "\" ("
                                     << row.face << "): is fonts-ipafont-gothic installed?";
        SelectObject(dc, previous);
        DeleteObject(font);
    }
    ReleaseDC(nullptr, dc);
}

TEST(WineEnvironment, ScreenIsTrueColour)
{
    HDC dc = GetDC(nullptr);
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    // Below 16 bits the backdrop paints no ramp, and the pixel checks fail.
    EXPECT_GE(bits, 24) << "start Xvfb with -screen 0 1024x768x24 (tools/wine-env.sh does)";
    EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_GE(GetSystemMetrics(SM_CYSCREEN), 600);
}

}  // namespace
