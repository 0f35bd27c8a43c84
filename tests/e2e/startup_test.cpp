// Start-up and the backdrop, seen from outside: the missing-script error, the
// full-screen topmost backdrop with its ramp and shadowed title, the single
// instance, and closing. Pixel checks sample only the screen's edges and the
// title band, which the centred settings dialog never covers, so these
// scenarios hold with or without that dialog on top.
#include <string>
#include <vector>

#include "scenario.h"

namespace {

using driver::Screenshot;

const char kSampleTitle[] = "ぺるもら サンプル製品 1.0";
const char kDefaultTitle[] = "Setup Program";
// The title band: 64-pixel letters and their shadow 8 pixels lower.
const int kTitleBand = 90;

class Startup : public scenario::Scenario {
protected:
    // Starts setup.exe in dir and waits for its backdrop.
    HWND StartAndWaitForBackdrop(const std::string& dir, driver::Setup* setup)
    {
        if (!driver::StartSetup(dir, setup)) {
            ADD_FAILURE() << driver::LastError();
            return nullptr;
        }
        HWND backdrop = driver::WaitForWindow(setup->pid, driver::kBackdropClass,
                                              driver::kProgramCaption);
        if (backdrop == nullptr)
            ADD_FAILURE() << "backdrop: " << driver::LastError();
        return backdrop;
    }

    // Closes the backdrop and expects the program to end with 0.
    void CloseAndExpectExitZero(HWND backdrop, driver::Setup* setup)
    {
        ASSERT_TRUE(driver::PostClose(backdrop)) << driver::LastError();
        scenario::ExpectExit(setup, 0);
    }
};

// The parts of the screen the checks look at: the title band and the left
// and right edges.
bool SameWhereChecked(const Screenshot& a, const Screenshot& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            bool checked = y < kTitleBand || x < 4 || x >= a.width - 4 || y >= a.height - 2;
            if (checked && a.At(x, y) != b.At(x, y))
                return false;
        }
    }
    return true;
}

// Waits until the backdrop has painted (the bottom row shows the ramp's end)
// and the checked parts hold still between two looks; returns the screen.
bool CapturePainted(Screenshot* shot)
{
    DWORD start = GetTickCount();
    Screenshot previous;
    for (;;) {
        if (!driver::CaptureScreen(shot))
            return false;
        if (driver::IsNear(shot->At(2, shot->height - 1), 0, 0, 255, 8) &&
            SameWhereChecked(*shot, previous))
            return true;
        if (GetTickCount() - start > 10000)
            return false;
        previous = *shot;
        Sleep(150);
    }
}

bool IsWhite(uint32_t pixel)
{
    return driver::IsNear(pixel, 255, 255, 255, 24);
}

// White pixels of the title band, one flag per pixel.
std::vector<bool> WhiteMask(const Screenshot& shot)
{
    std::vector<bool> mask(size_t(shot.width) * kTitleBand);
    for (int y = 0; y < kTitleBand; ++y)
        for (int x = 0; x < shot.width; ++x)
            mask[size_t(y) * shot.width + x] = IsWhite(shot.At(x, y));
    return mask;
}

// The title as the backdrop draws it (same font, same call), drawn by this
// process on a black bitmap of the band's size.
std::vector<bool> ExpectedMask(const std::string& title, int width)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, kTitleBand);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previousBitmap = SelectObject(memory, bitmap);
    RECT band = {0, 0, width, kTitleBand};
    FillRect(memory, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    LOGFONTA logical = {};
    logical.lfHeight = -64;
    logical.lfWeight = FW_BOLD;
    logical.lfItalic = TRUE;
    logical.lfCharSet = OEM_CHARSET;
    HFONT font = CreateFontIndirectA(&logical);
    HGDIOBJ previousFont = SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(255, 255, 255));
    RECT whole = {0, 0, width, GetSystemMetrics(SM_CYSCREEN)};
    DrawTextA(memory, title.c_str(), int(title.size()), &whole, 0);
    std::vector<bool> mask(size_t(width) * kTitleBand);
    for (int y = 0; y < kTitleBand; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF pixel = GetPixel(memory, x, y);
            mask[size_t(y) * width + x] =
                GetRValue(pixel) >= 231 && GetGValue(pixel) >= 231 && GetBValue(pixel) >= 231;
        }
    }
    SelectObject(memory, previousFont);
    DeleteObject(font);
    SelectObject(memory, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return mask;
}

// Share of the white pixels of either mask that both have (1.0 = same).
double Overlap(const std::vector<bool>& a, const std::vector<bool>& b)
{
    size_t both = 0;
    size_t either = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either == 0 ? 0.0 : double(both) / double(either);
}

// Checks that the band shows exactly `title`, and not `other`.
void ExpectTitle(const Screenshot& shot, const std::string& title, const std::string& other)
{
    std::vector<bool> seen = WhiteMask(shot);
    double same = Overlap(seen, ExpectedMask(title, shot.width));
    double different = Overlap(seen, ExpectedMask(other, shot.width));
    EXPECT_GT(same, 0.9) << "the title band does not show \"" << driver::ToUtf8(title) << "\"";
    EXPECT_LT(different, same) << "the title band looks like \"" << driver::ToUtf8(other)
                               << "\"";
}

// The ramp, the title colours and the shadow, at places the settings dialog
// does not cover.
void ExpectBackdropPixels(const Screenshot& shot)
{
    const int w = shot.width;
    const int h = shot.height;
    // Top right, beside any title of ordinary length: the ramp's black end.
    EXPECT_TRUE(driver::IsNear(shot.At(w - 3, 2), 0, 0, 0, 8))
        << "top right corner is " << driver::Rgb(shot.At(w - 3, 2));
    // Bottom corners: pure blue.
    for (int x : {2, w - 3}) {
        EXPECT_TRUE(driver::IsNear(shot.At(x, h - 2), 0, 0, 255, 8))
            << "bottom at x " << x << " is " << driver::Rgb(shot.At(x, h - 2));
    }
    // The left edge below the title: red and green 0, blue rising with y.
    int previousBlue = -1;
    for (int y = kTitleBand; y < h; y += 8) {
        uint32_t pixel = shot.At(2, y);
        ASSERT_TRUE(driver::Red(pixel) <= 8 && driver::Green(pixel) <= 8)
            << "left edge at y " << y << " is " << driver::Rgb(pixel);
        ASSERT_GE(driver::Blue(pixel), previousBlue) << "ramp falls at y " << y;
        previousBlue = driver::Blue(pixel);
    }
    uint32_t middle = shot.At(2, h / 2);
    EXPECT_TRUE(driver::IsNear(middle, 0, 0, 128, 12))
        << "left edge halfway down is " << driver::Rgb(middle);

    // White title letters with their navy shadow 8 pixels below and right.
    int white = 0;
    int shadowed = 0;
    int navy = 0;
    for (int y = 0; y < kTitleBand; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t pixel = shot.At(x, y);
            if (driver::IsNear(pixel, 0, 0, 128, 16))
                ++navy;
            if (!IsWhite(pixel))
                continue;
            ++white;
            if (x + 8 < w && driver::IsNear(shot.At(x + 8, y + 8), 0, 0, 128, 16))
                ++shadowed;
        }
    }
    EXPECT_GT(white, 200) << "too few white title pixels";
    EXPECT_GT(navy, 100) << "too few navy shadow pixels";
    EXPECT_GT(shadowed, 20) << "no navy shadow 8 pixels below-right of the white letters";
}

// No script, or one of 4 GiB - 1 bytes and more: a 32-bit size leaves no
// room for its terminating NUL. A box, an exit code and no backdrop. The big
// files are sparse: only their size is real.
TEST_F(Startup, MissingOrHugeScriptShowsItsErrorAndExits)
{
    struct Row {
        LONGLONG size;  // -1: no setup.ini
        const char* text;
        DWORD code;
    } rows[] = {{-1, "setup.iniを開けられません", 5},
                {0xFFFFFFFFLL, "setup.iniが大きすぎます。", 1},
                {0x100000000LL, "setup.iniが大きすぎます。", 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE("size " + std::to_string(row.size));
        std::string dir = driver::MakeMediumDir("bad-script-size");
        ASSERT_FALSE(dir.empty()) << driver::LastError();
        if (row.size >= 0) {
            HANDLE file = CreateFileA((dir + "\\setup.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            LARGE_INTEGER end;
            end.QuadPart = row.size;
            ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
            CloseHandle(file);
        }
        driver::ScopedSetup setup;
        ASSERT_TRUE(driver::StartSetup(dir, &setup)) << driver::LastError();
        HWND box = driver::WaitForMessageBox(setup.pid);
        ASSERT_NE(box, nullptr) << "setup.ini error box: " << driver::LastError();
        driver::MessageBoxText message = driver::ReadMessageBox(box);
        EXPECT_EQ(message.caption, driver::kProgramCaption);
        EXPECT_EQ(message.text, row.text);
        EXPECT_EQ(driver::FindWindowOf(setup.pid, driver::kBackdropClass, nullptr), nullptr)
            << "a backdrop window exists beside the error box";
        ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
        scenario::ExpectExit(&setup, row.code);
        driver::RemoveTree(dir);
    }
}

TEST_F(Startup, BackdropCoversTheScreenAndStaysOnTop)
{
    std::string dir = driver::MakeMediumDir("sample-medium");
    ASSERT_TRUE(driver::CopyExampleMedium(dir)) << driver::LastError();
    driver::ScopedSetup setup;
    HWND backdrop = StartAndWaitForBackdrop(dir, &setup);
    ASSERT_NE(backdrop, nullptr);

    EXPECT_EQ(driver::WindowText(backdrop), driver::kProgramCaption);
    EXPECT_TRUE(GetWindowLongA(backdrop, GWL_EXSTYLE) & WS_EX_TOPMOST) << "backdrop not topmost";
    RECT rect = {};
    ASSERT_TRUE(GetWindowRect(backdrop, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));

    Screenshot shot;
    ASSERT_TRUE(CapturePainted(&shot)) << "the backdrop's ramp never reached the bottom row: "
                                       << driver::LastError();
    driver::SaveArtifact(shot, "backdrop-sample");
    ExpectBackdropPixels(shot);
    ExpectTitle(shot, kSampleTitle, kDefaultTitle);

    CloseAndExpectExitZero(backdrop, &setup);
}

// The big title comes from the script's BigTitle, and falls back to
// "Setup Program" where there is none.
TEST_F(Startup, TitleComesFromTheScriptOrFallsBackToSetupProgram)
{
    struct Row {
        const char* name;
        std::string script;
        const char* title;
        const char* other;  // a title the band must not look like
    };
    const Row rows[] = {
        {"empty-script", "", kDefaultTitle, kSampleTitle},
        {"no-big-title", "[init]\r\nTitle=Only a caption\r\n", kDefaultTitle, kSampleTitle},
        {"empty-big-title", "[init]\r\nBigTitle=\r\n", kDefaultTitle, kSampleTitle},
        {"own-title", "; comment\r\n[INIT]\r\n  BigTitle=Hello Pelmora\r\n", "Hello Pelmora",
         kDefaultTitle},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        driver::ScopedSetup setup;
        HWND backdrop = StartAndWaitForBackdrop(Medium(row.name, row.script), &setup);
        ASSERT_NE(backdrop, nullptr);
        Screenshot shot;
        ASSERT_TRUE(CapturePainted(&shot)) << driver::LastError();
        driver::SaveArtifact(shot, std::string("backdrop-") + row.name);
        ExpectBackdropPixels(shot);
        ExpectTitle(shot, row.title, row.other);
        CloseAndExpectExitZero(backdrop, &setup);
    }
}

TEST_F(Startup, SecondStartReturnsZeroAtOnce)
{
    std::string dir = driver::MakeMediumDir("first-instance");
    ASSERT_TRUE(driver::CopyExampleMedium(dir)) << driver::LastError();
    driver::ScopedSetup first;
    HWND backdrop = StartAndWaitForBackdrop(dir, &first);
    ASSERT_NE(backdrop, nullptr);

    driver::ScopedSetup second;
    ASSERT_TRUE(driver::StartSetup(dir, &second)) << driver::LastError();
    scenario::ExpectExit(&second, 0);
    EXPECT_TRUE(driver::IsRunning(first)) << "the first setup ended too";
    EXPECT_EQ(driver::FindWindowOf(0, driver::kBackdropClass, nullptr), backdrop)
        << "a second backdrop appeared";

    CloseAndExpectExitZero(backdrop, &first);
}

TEST_F(Startup, CloseEndsTheProgramWithZero)
{
    // With the sample script the settings dialog (when there is one) is up
    // over the backdrop: closing must work from inside its modal loop too.
    std::string dir = driver::MakeMediumDir("close");
    ASSERT_TRUE(driver::CopyExampleMedium(dir)) << driver::LastError();
    driver::ScopedSetup setup;
    HWND backdrop = StartAndWaitForBackdrop(dir, &setup);
    ASSERT_NE(backdrop, nullptr);
    // Give the posted command that opens the settings dialog time to run.
    Sleep(500);
    CloseAndExpectExitZero(backdrop, &setup);
    EXPECT_EQ(driver::FindWindowOf(0, driver::kBackdropClass, nullptr), nullptr);
}

}  // namespace
