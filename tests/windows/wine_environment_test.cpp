// What every other Windows and end-to-end test takes for granted about the
// machine they run on: the Japanese code page, a font with Japanese glyphs
// behind the faces the dialogs and the title ask for, and a true-colour
// screen. A broken test machine fails here with a plain message instead of
// elsewhere with a puzzling one.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

namespace {

TEST(WineEnvironment, JapaneseCodePageFontAndTrueColourScreen)
{
    EXPECT_EQ(GetACP(), 932u) << "run under LC_ALL=ja_JP.UTF-8 (tools/wine-run.sh sets it)";
    HDC dc = GetDC(nullptr);
    // Below 16 bits the backdrop paints no ramp, and the pixel checks fail.
    EXPECT_GE(GetDeviceCaps(dc, BITSPIXEL), 24) << "Xvfb needs -screen 0 1024x768x24 (wine-env.sh)";
    // The dialogs' face, and what the backdrop's title asks for (no face, OEM).
    for (auto [face, charset] : {std::pair<const char*, BYTE>{"ＭＳ Ｐゴシック", SHIFTJIS_CHARSET},
                                 {"", OEM_CHARSET}}) {
        LOGFONTA logical = {};
        logical.lfHeight = -12;
        logical.lfCharSet = charset;
        lstrcpynA(logical.lfFaceName, face, LF_FACESIZE);
        HFONT font = CreateFontIndirectA(&logical);
        HGDIOBJ previous = SelectObject(dc, font);
        // A missing glyph is drawn as the font's one empty box: ぺるも製品 and
        // an unassigned character must all look different.
        std::set<std::string> shapes;
        const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        for (wchar_t character : std::wstring(L"\u307A\u308B\u3082\u88FD\u54C1\uE000")) {
            GLYPHMETRICS metrics = {};
            DWORD size = GetGlyphOutlineW(dc, character, GGO_BITMAP, &metrics, 0, nullptr, &identity);
            std::string bits(size == GDI_ERROR ? 0 : size, '\0');
            GetGlyphOutlineW(dc, character, GGO_BITMAP, &metrics, DWORD(bits.size()), &bits[0], &identity);
            shapes.insert(bits);
        }
        EXPECT_EQ(6u, shapes.size()) << "characters look the same in \"" << face
                                     << "\": is fonts-ipafont-gothic installed?";
        DeleteObject(SelectObject(dc, previous));
    }
    ReleaseDC(nullptr, dc);
}

}  // namespace
