// Start-up and the backdrop, seen from outside: the start-up errors, the
// full-screen topmost backdrop with its ramp and shadowed title, exact to
// the pixel, the single instance, and closing. Pixel checks look only at
// the screen's edges and the title band, which the centred settings dialog
// never covers, so they hold with or without that dialog on top.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session.h"

namespace {

using driver::Screenshot;

// The title band: 64-pixel letters and their shadow 8 pixels lower.
const int kTitleBand = 90;
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

// The parts of the screen the checks look at: the title band and the edges.
bool SameWhereChecked(const Screenshot& a, const Screenshot& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if ((y < kTitleBand || x < 4 || x >= a.width - 4) && a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

// Waits until the backdrop has painted (the bottom row shows the ramp's
// end) and the checked parts hold still between two looks.
bool CapturePainted(Screenshot* shot)
{
    Screenshot previous;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(150)) {
        if (!driver::CaptureScreen(shot))
            return false;
        if (shot->At(2, shot->height - 1) == 0x0000FF && SameWhereChecked(*shot, previous))
            return true;
        previous = *shot;
    }
    return false;
}

// Where the title, drawn as the backdrop draws it (same font, same call) on
// black by this process, covers a pixel and its eight neighbours wholly
// (2), not at all (0), or in part (1).
std::vector<int> TitleCover(const std::string& title, int width)
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
    HFONT font = CreateFontIndirectA(&logical);
    HGDIOBJ oldFont = SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(255, 255, 255));
    RECT whole = {0, 0, width, GetSystemMetrics(SM_CYSCREEN)};
    DrawTextA(memory, title.c_str(), int(title.size()), &whole, 0);
    std::vector<int> cover(size_t(width) * kTitleBand, 1);
    for (int y = 1; y + 1 < kTitleBand; ++y) {
        for (int x = 1; x + 1 < width; ++x) {
            int full = 0, none = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    COLORREF pixel = GetPixel(memory, x + dx, y + dy) & 0xFFFFFF;
                    full += pixel == 0xFFFFFF;
                    none += pixel == 0;
                }
            cover[size_t(y) * width + x] = full == 9 ? 2 : none == 9 ? 0 : 1;
        }
    }
    SelectObject(memory, oldFont);
    DeleteObject(font);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return cover;
}

// The ramp's colour at row y: 256 shades of blue from black at the top
// to pure blue at the bottom.
uint32_t Ramp(int y, int height)
{
    return uint32_t(y) * 256 / uint32_t(height);
}

// Every pixel whose colour is certain, exactly: the ramp at both edges, and
// in the title band white letters over a navy shadow 8 pixels right and
// below, over the ramp. Edges of letters (smoothed) are left out.
void ExpectBackdrop(const Screenshot& shot, const std::string& title)
{
    const int w = shot.width, h = shot.height;
    std::vector<int> cover = TitleCover(title, w);
    auto coverAt = [&](int x, int y) {
        return x < 0 || y < 0 ? 0 : cover[size_t(y) * w + x];
    };
    int counts[3] = {0, 0, 0};  // ramp, white, navy pixels checked
    int wrong = 0;
    std::string first;
    auto expect = [&](int x, int y, uint32_t colour, int kind) {
        ++counts[kind];
        if (shot.At(x, y) != colour && wrong++ < 5)
            first += " (" + std::to_string(x) + "," + std::to_string(y) + ") is " +
                     driver::Rgb(shot.At(x, y)) + " not " + driver::Rgb(colour) + ";";
    };
    for (int y = 0; y < h; ++y) {
        expect(w - 3, y, Ramp(y, h), 0);
        if (y >= kTitleBand)
            expect(2, y, Ramp(y, h), 0);
    }
    for (int y = 0; y < kTitleBand; ++y) {
        for (int x = 0; x < w - 4; ++x) {
            int letter = coverAt(x, y), shadow = coverAt(x - kShadow, y - kShadow);
            if (letter == 2)
                expect(x, y, kWhite, 1);
            else if (letter == 0 && shadow == 2)
                expect(x, y, kNavy, 2);
            else if (letter == 0 && shadow == 0)
                expect(x, y, Ramp(y, h), 0);
        }
    }
    EXPECT_EQ(0, wrong) << wrong << " pixels off:" << first;
    EXPECT_GT(counts[1], 200) << "too few white title pixels to judge";
    EXPECT_GT(counts[2], 100) << "too few shadow pixels to judge";
}

// The big title comes from the script's BigTitle, and falls back to
// "Setup Program" where there is none.
TEST(Startup, BackdropCoversTheScreenOnTopWithRampAndShadowedTitle)
{
    const struct {
        const char* name;
        const char* script;  // null: the sample medium
        const char* title;
    } rows[] = {
        {"sample", nullptr, "ぺるもら サンプル"},
        {"empty-script", "", "Setup Program"},
        {"no-big-title", "[init]\r\nTitle=Only a caption\r\n", "Setup Program"},
        {"own-title", "; comment\r\n[INIT]\r\n  BigTitle=Hello Pelmora\r\n", "Hello Pelmora"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        driver::Session session;
        std::string dir = row.script != nullptr ? session.Medium(row.name, row.script)
                                                : driver::MakeMediumDir(row.name);
        ASSERT_TRUE(row.script != nullptr || driver::CopyExampleMedium(dir)) << driver::LastError();
        ASSERT_TRUE(driver::StartSetup(dir, &session.setup)) << driver::LastError();
        HWND backdrop = driver::WaitForWindow(session.setup.pid, driver::kBackdropClass,
                                              driver::kProgramCaption);
        ASSERT_NE(nullptr, backdrop) << driver::LastError();
        EXPECT_TRUE(GetWindowLongA(backdrop, GWL_EXSTYLE) & WS_EX_TOPMOST) << "backdrop not topmost";
        RECT rect = {};
        ASSERT_TRUE(GetWindowRect(backdrop, &rect));
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        EXPECT_TRUE(EqualRect(&rect, &screen)) << "backdrop at " << rect.left << "," << rect.top
                                               << " to " << rect.right << "," << rect.bottom;
        Screenshot shot;
        ASSERT_TRUE(CapturePainted(&shot)) << "the backdrop's ramp never reached the bottom row";
        driver::SaveArtifact(shot, std::string("backdrop-") + row.name);
        ExpectBackdrop(shot, row.title);
        ASSERT_TRUE(driver::PostClose(backdrop)) << driver::LastError();
        EXPECT_EQ(0u, driver::ExitCode(&session.setup)) << driver::LastError();
    }
}

// A second start ends at once with 0 and leaves the first alone; closing
// the backdrop ends the first with 0, from inside the settings dialog's
// modal loop.
TEST(Startup, SecondStartEndsAtOnceAndCloseEndsTheFirst)
{
    driver::Session session;
    std::string dir = driver::MakeMediumDir("first-instance");
    ASSERT_TRUE(driver::CopyExampleMedium(dir)) << driver::LastError();
    ASSERT_NE(nullptr, session.Open(dir, nullptr)) << driver::LastError();
    HWND backdrop = driver::FindWindowOf(session.setup.pid, driver::kBackdropClass, nullptr);
    ASSERT_NE(nullptr, backdrop);

    driver::ScopedSetup second;
    ASSERT_TRUE(driver::StartSetup(dir, &second)) << driver::LastError();
    EXPECT_EQ(0u, driver::ExitCode(&second)) << driver::LastError();
    EXPECT_TRUE(driver::IsRunning(session.setup)) << "the first setup ended too";
    EXPECT_EQ(backdrop, driver::FindWindowOf(0, driver::kBackdropClass, nullptr))
        << "a second backdrop appeared";

    ASSERT_TRUE(driver::PostClose(backdrop)) << driver::LastError();
    EXPECT_EQ(0u, driver::ExitCode(&session.setup)) << driver::LastError();
    EXPECT_EQ(nullptr, driver::FindWindowOf(0, driver::kBackdropClass, nullptr));
}

}  // namespace
