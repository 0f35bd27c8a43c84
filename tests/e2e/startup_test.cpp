// Start-up and the backdrop, seen from outside: the start-up errors, the
// full-screen topmost backdrop with its ramp and shadowed title, the single
// instance, and closing. Pixel checks look only at the screen's edges and the
// title band, which the centred settings dialog never covers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "session.h"

namespace {

using driver::Screenshot;

using driver::kTitleBand;
const int kShadow = 8;
const uint32_t kWhite = 0xFFFFFF;
const uint32_t kNavy = 0x000080;

// No script, or one of 4 GiB - 1 bytes and more (a 32-bit size leaves no
// room for its NUL; the big files are sparse), or a .local folder beside
// setup.exe: a box with no owner and no backdrop, then the exit code.
TEST(Startup, RefusedStartsShowTheirErrorAndExit)
{
    std::string exe;
    ASSERT_TRUE(driver::ReadFileBytes(driver::SetupExePath(), &exe)) << driver::LastError();
    const struct {
        const char* name;
        LONGLONG size;  // of setup.ini; -1: none
        bool dotLocal;
        const char* text;
        DWORD code;
    } rows[] = {
        {"no setup.ini", -1, false, "setup.iniを開けられません", 5},
        {"4 GiB - 1", 0xFFFFFFFFLL, false, "setup.iniが大きすぎます。", 1},
        {"4 GiB", 0x100000000LL, false, "setup.iniが大きすぎます。", 1},
        {".local folder", 0, true, "setup.exe.localがあるため起動できません", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        driver::Session session;
        std::string dir = row.dotLocal
            ? session.Medium("refused", "[init]\r\n", {{"setup.exe", exe}, {"setup.exe.local\\", ""}})
            : driver::MakeMediumDir("refused");
        ASSERT_NE("", dir) << driver::LastError();
        if (row.size >= 0 && !row.dotLocal) {
            HANDLE file = CreateFileA((dir + "\\setup.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            LARGE_INTEGER end;
            end.QuadPart = row.size;
            ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
            CloseHandle(file);
        }
        ASSERT_TRUE(driver::StartSetup(dir, &session.setup, row.dotLocal ? dir + "\\setup.exe" : ""))
            << driver::LastError();
        HWND box = driver::WaitForMessageBox(session.setup.pid);
        ASSERT_NE(nullptr, box) << driver::LastError();
        driver::MessageBoxText message = driver::ReadMessageBox(box);
        EXPECT_EQ(driver::kProgramCaption, message.caption);
        EXPECT_EQ(row.text, message.text);
        EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
        EXPECT_EQ(nullptr, driver::FindWindowOf(session.setup.pid, driver::kBackdropClass, nullptr))
            << "a backdrop beside the error box";
        ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
        EXPECT_EQ(row.code, driver::ExitCode(&session.setup)) << driver::LastError();
    }
}

// Where the pixels of one colour lie in the title band: their bounding box
// and their number.
struct Ink {
    int right = -1, bottom = -1, left = 1 << 30, count = 0;
};
Ink InkOf(const Screenshot& shot, uint32_t colour)
{
    Ink ink;
    for (int y = 0; y < kTitleBand; ++y)
        for (int x = 0; x < shot.width - 4; ++x)
            if (shot.At(x, y) == colour)
                ink = {std::max(ink.right, x), std::max(ink.bottom, y), std::min(ink.left, x), ink.count + 1};
    return ink;
}

// The title drawn by this process as the backdrop draws it (same font, same
// call), white on black: the white it should leave on the screen.
Ink TitleInk(const std::string& title, int width)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, kTitleBand);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT band = {0, 0, width, kTitleBand};
    FillRect(memory, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    LOGFONTA logical = {};
    logical.lfHeight = -64;
    logical.lfWeight = FW_BOLD;
    logical.lfItalic = TRUE;
    logical.lfCharSet = OEM_CHARSET;
    HGDIOBJ oldFont = SelectObject(memory, CreateFontIndirectA(&logical));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(255, 255, 255));
    RECT whole = {0, 0, width, GetSystemMetrics(SM_CYSCREEN)};
    DrawTextA(memory, title.c_str(), int(title.size()), &whole, 0);
    Screenshot drawn;
    driver::CaptureRect(band, &drawn, memory);
    DeleteObject(SelectObject(memory, oldFont));
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return InkOf(drawn, kWhite);
}

// The ramp exactly at both edges (the title's left margin aside); the white
// letters where this process draws them (the smoothed edges may differ by a
// pixel), with nothing else white in the band; their navy shadow 8 pixels
// right and below, its far edges as far from the letters' as that.
void ExpectBackdrop(const Screenshot& shot, const std::string& title)
{
    // 256 shades of blue from black at the top to pure blue at the bottom.
    int wrong = 0;
    for (uint32_t y = 0, h = shot.height; y < h; ++y) {
        wrong += shot.At(shot.width - 3, y) != y * 256 / h;
        wrong += y >= uint32_t(kTitleBand) && shot.At(2, y) != y * 256 / h;
    }
    EXPECT_EQ(0, wrong) << "edge pixels off the ramp";
    Ink expected = TitleInk(title, shot.width), white = InkOf(shot, kWhite), navy = InkOf(shot, kNavy);
    ASSERT_GT(expected.count, 200) << "too few white title pixels to judge";
    EXPECT_NEAR(expected.left, white.left, 1);
    EXPECT_NEAR(expected.right, white.right, 1);
    EXPECT_NEAR(expected.bottom, white.bottom, 1);
    EXPECT_NEAR(expected.count, white.count, expected.count / 20);
    EXPECT_EQ(white.right + kShadow, navy.right);
    EXPECT_EQ(white.bottom + kShadow, navy.bottom);
    EXPECT_GT(navy.count, 100) << "too few shadow pixels to judge";
}

// The big title comes from the script's BigTitle, and falls back to
// "Setup Program" where there is none. A second start ends at once with 0
// and leaves the first alone; closing the backdrop ends the first with 0,
// from inside the settings dialog's modal loop.
TEST(Startup, BackdropCoversTheScreenOnTopWithRampAndShadowedTitle)
{
    const struct {
        const char* name;
        const char* script;  // null: the sample medium
        const char* title;
    } rows[] = {
        {"sample", nullptr, "ぺるもら サンプル"},
        {"empty-script", "", "Setup Program"},
        {"own-title", "; comment\r\n[INIT]\r\n  BigTitle=Hello Pelmora\r\n", "Hello Pelmora"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        driver::Session session;
        std::string dir = row.script != nullptr ? session.Medium(row.name, row.script)
                                                : driver::MakeMediumDir(row.name);
        ASSERT_TRUE(row.script != nullptr || driver::CopyExampleMedium(dir)) << driver::LastError();
        ASSERT_NE(nullptr, session.Open(dir, nullptr)) << driver::LastError();
        HWND backdrop = driver::FindWindowOf(session.setup.pid, driver::kBackdropClass,
                                             driver::kProgramCaption);
        ASSERT_NE(nullptr, backdrop) << driver::LastError();
        EXPECT_TRUE(GetWindowLongA(backdrop, GWL_EXSTYLE) & WS_EX_TOPMOST) << "backdrop not topmost";
        RECT rect = {};
        ASSERT_TRUE(GetWindowRect(backdrop, &rect));
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        EXPECT_TRUE(EqualRect(&rect, &screen)) << "backdrop at " << rect.left << "," << rect.top
                                               << " to " << rect.right << "," << rect.bottom;
        Screenshot shot;
        ASSERT_TRUE(driver::CaptureBackdrop(&shot)) << driver::LastError();
        driver::SaveArtifact(shot, std::string("backdrop-") + row.name);
        ExpectBackdrop(shot, row.title);

        driver::ScopedSetup second;
        ASSERT_TRUE(driver::StartSetup(dir, &second)) << driver::LastError();
        EXPECT_EQ(0u, driver::ExitCode(&second)) << driver::LastError();
        EXPECT_EQ(backdrop, driver::FindWindowOf(0, driver::kBackdropClass, nullptr))
            << "the first backdrop ended, or a second one appeared";
        ASSERT_TRUE(driver::PostClose(backdrop)) << driver::LastError();
        EXPECT_EQ(0u, driver::ExitCode(&session.setup)) << driver::LastError();
    }
}

}  // namespace
