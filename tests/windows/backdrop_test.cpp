// The backdrop window procedure on the real window system: which messages
// open a dialog, the install-request latch and the close handling. The ramp,
// the settings command posted at creation and the default procedure show
// through the real window in the e2e Startup suite.
// The test program carries no dialog resources, so the settings and copy
// dialogs the procedure opens fail at once with a resource error; that error
// is how a test sees that a dialog was (or was not) asked for.
#include <gtest/gtest.h>

#include "shell/handles.h"
#include "shell/state.h"

namespace {

// Left in the thread's last error to show that no dialog was attempted.
const DWORD kUntouched = 0x2BADF00D;

// Dispatches everything queued; returns the code of a WM_QUIT among it, or -1.
int Drain()
{
    int quit = -1;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            quit = int(message.wParam);
        else
            DispatchMessageA(&message);
    }
    return quit;
}

class Backdrop : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = BackdropWndProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PelmoraBackdropTest";
        RegisterClassA(&windowClass);
        InstallLatch = 0;
        // Hidden and not topmost: nothing on the shared screen changes.
        window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 64, 64,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        Drain();  // the settings command posted at creation
    }

    void TearDown() override
    {
        SendMessageA(window_, WM_CLOSE, 0, 0);
        DestroyWindow(window_);
        Drain();
    }

    HWND window_ = nullptr;
};

// Each row is sent in order to the same window. Only command 12 opens the
// settings dialog, whatever the high word; only request 0 with lParam 0 the
// copy dialog, until request 1 latches every request off.
TEST_F(Backdrop, OnlyItsOwnRequestsOpenADialog)
{
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool opens;
        int latchAfter;
    } rows[] = {
        {WM_COMMAND, 11, 0, false, 0},        {WM_COMMAND, 13, 0, false, 0},
        {WM_COMMAND, 0x0001000C, 0, true, 0}, {WM_COMMAND, 12, 0, true, 0},
        {WM_INSTALL_STEP, 0, 1, false, 0},    // non-zero lParam: ignored
        {WM_INSTALL_STEP, 1, 7, false, 0},    // ignored, does not latch either
        {WM_INSTALL_STEP, 2, 0, false, 0},    // unknown request: nothing
        {WM_INSTALL_STEP, 0, 0, true, 0},     // the install request proper
        {WM_INSTALL_STEP, 1, 0, false, 1},    // latches
        {WM_INSTALL_STEP, 0, 0, false, 1},    // ignored from now on
    };
    int index = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(index++));
        SetLastError(kUntouched);
        EXPECT_EQ(SendMessageA(window_, row.message, row.wParam, row.lParam), 0);
        EXPECT_EQ(GetLastError() != kUntouched, row.opens);
        EXPECT_EQ(InstallLatch, row.latchAfter);
    }
}

TEST_F(Backdrop, CloseFreesEverythingAndPostsQuitZero)
{
    ASSERT_NE(GradientDC, nullptr);
    ASSERT_NE(GradientBitmap, nullptr);
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
    EXPECT_EQ(Drain(), 0) << "no WM_QUIT 0 after WM_CLOSE";

    // A second close finds nothing left to free and quits again.
    EXPECT_EQ(SendMessageA(window_, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(Drain(), 0);
}

}  // namespace
