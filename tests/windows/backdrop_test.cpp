// The backdrop window procedure on the real window system: ramp creation,
// the install-request latch, the commands it ignores and the close handling.
// The test program carries no dialog resources, so the settings and copy
// dialogs the procedure opens fail at once with a resource error; that error
// is how a test sees that a dialog was (or was not) asked for.
#include <gtest/gtest.h>

#include "shell/handles.h"
#include "shell/state.h"

namespace {

const char kTestClass[] = "PelmoraBackdropTest";
// Left in the thread's last error to show that no dialog was attempted.
const DWORD kUntouched = 0x2BADF00D;

void DrainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// True if WM_QUIT is waiting in the queue; its code goes to *code.
bool TakeQuit(WPARAM* code)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            *code = message.wParam;
            return true;
        }
    }
    return false;
}

bool AskedForDialog(DWORD lastError)
{
    return lastError != kUntouched;
}

class Backdrop : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = BackdropWndProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kTestClass;
        RegisterClassA(&windowClass);
        InstallLatch = 0;
        // Hidden and not topmost: nothing on the shared screen changes.
        window_ = CreateWindowExA(0, kTestClass, "backdrop under test", WS_POPUP, 0, 0, 64, 64,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override
    {
        SendMessageA(window_, WM_CLOSE, 0, 0);
        DestroyWindow(window_);
        WPARAM code = 0;
        TakeQuit(&code);
        DrainMessages();
        InstallLatch = 0;
    }

    // Sends a message with the last error preset; returns the result and
    // leaves the last error after the call in *lastError.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam, DWORD* lastError)
    {
        SetLastError(kUntouched);
        LRESULT result = SendMessageA(window_, message, wParam, lParam);
        *lastError = GetLastError();
        return result;
    }

    HWND window_ = nullptr;
};

TEST_F(Backdrop, CreationBuildsTheBlackToBlueRamp)
{
    ASSERT_NE(GradientDC, nullptr);
    ASSERT_NE(GradientBitmap, nullptr);
    const int rows[] = {0, 1, 127, 128, 254, 255};
    for (int y : rows)
        EXPECT_EQ(GetPixel(GradientDC, 0, y), RGB(0, 0, y)) << "ramp row " << y;
    BITMAP info = {};
    ASSERT_NE(GetObjectA(GradientBitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 256);
}

TEST_F(Backdrop, CreationPostsTheSettingsCommand)
{
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(message.wParam, WPARAM(12));
    EXPECT_EQ(message.lParam, 0);
}

TEST_F(Backdrop, OnlyCommandTwelveOpensTheSettingsDialog)
{
    DrainMessages();
    struct Row {
        WPARAM command;
        bool opens;
    };
    const Row rows[] = {
        {0, false},  {1, false},  {2, false},       {11, false},
        {13, false}, {1012, false}, {0x0001000C, true},  // notification code in the high word
        {12, true},
    };
    for (const Row& row : rows) {
        DWORD lastError = 0;
        EXPECT_EQ(Send(WM_COMMAND, row.command, 0, &lastError), 0) << "command " << row.command;
        EXPECT_EQ(AskedForDialog(lastError), row.opens) << "command " << row.command;
    }
}

TEST_F(Backdrop, InstallRequestLatch)
{
    DrainMessages();
    // Each row is sent in order to the same window.
    struct Row {
        WPARAM request;
        LPARAM mustBeZero;
        bool opensCopyDialog;
        int latchAfter;
    };
    const Row rows[] = {
        {0, 1, false, 0},   // non-zero lParam: ignored
        {1, 7, false, 0},   // ignored, does not latch either
        {2, 0, false, 0},   // unknown request: nothing
        {0, 0, true, 0},    // the install request proper
        {1, 0, false, 1},   // latches
        {0, 0, false, 1},   // ignored from now on
        {1, 0, false, 1},
    };
    int index = 0;
    for (const Row& row : rows) {
        DWORD lastError = 0;
        EXPECT_EQ(Send(WM_INSTALL_STEP, row.request, row.mustBeZero, &lastError), 0)
            << "row " << index;
        EXPECT_EQ(AskedForDialog(lastError), row.opensCopyDialog) << "row " << index;
        EXPECT_EQ(InstallLatch, row.latchAfter) << "row " << index;
        ++index;
    }
}

TEST_F(Backdrop, CloseFreesEverythingAndPostsQuitZero)
{
    DrainMessages();
    ScriptText = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, 16));
    ASSERT_NE(ScriptText, nullptr);
    LOGFONTA font = {};
    font.lfHeight = -64;
    BigTitleFont = CreateFontIndirectA(&font);
    ASSERT_NE(BigTitleFont, nullptr);

    EXPECT_EQ(SendMessageA(window_, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(GradientDC, nullptr);
    EXPECT_EQ(GradientBitmap, nullptr);
    EXPECT_EQ(BigTitleFont, nullptr);
    EXPECT_EQ(ScriptText, nullptr);
    // The window stays: the loop's end, not the close, ends the program.
    EXPECT_TRUE(IsWindow(window_));
    WPARAM code = 99;
    ASSERT_TRUE(TakeQuit(&code)) << "no WM_QUIT after WM_CLOSE";
    EXPECT_EQ(code, WPARAM(0));

    // A second close finds nothing left to free and quits again.
    EXPECT_EQ(SendMessageA(window_, WM_CLOSE, 0, 0), 0);
    code = 99;
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, WPARAM(0));
}

TEST_F(Backdrop, OtherMessagesGoToTheDefaultProcedure)
{
    // WM_GETTEXT is not handled by the backdrop; the default procedure answers.
    char title[64] = "";
    EXPECT_GT(SendMessageA(window_, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)), 0);
    EXPECT_STREQ(title, "backdrop under test");
}

}  // namespace
