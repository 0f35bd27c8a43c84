// The full-screen backdrop: a black-to-blue ramp with the shadowed big title.
// It is also the switchboard: it opens the settings dialog, then the copy
// dialog, and its close handling frees everything and ends the loop.
#include "handles.h"

#include "../../res/resource.h"
#include "../install/copy_dialog.h"
#include "state.h"

static const int kRampHeight = 256;
static const int kShadowOffset = 8;

static void OnCreate(HWND window)
{
    HDC windowDC = GetDC(window);
    GradientBitmap = CreateCompatibleBitmap(windowDC, 1, kRampHeight);
    GradientDC = CreateCompatibleDC(windowDC);
    SelectObject(GradientDC, GradientBitmap);
    ReleaseDC(window, windowDC);
    for (int y = 0; y < kRampHeight; ++y)
        SetPixel(GradientDC, 0, y, RGB(0, 0, y));
    // Open the settings dialog from the loop once the window is shown, not
    // from inside window creation.
    PostMessageA(window, WM_COMMAND, IDM_OPEN_SETTINGS, 0);
}

static void PaintTitle(HDC dc, int right, int bottom)
{
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previousFont = nullptr;
    if (BigTitleFont != nullptr)
        previousFont = SelectObject(dc, BigTitleFont);
    RECT shadow = {kShadowOffset, kShadowOffset, right, bottom};
    SetTextColor(dc, RGB(0, 0, 128));
    DrawTextA(dc, BigTitleText, BigTitleLength, &shadow, 0);
    RECT title = {0, 0, right, bottom};
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, BigTitleText, BigTitleLength, &title, 0);
    if (previousFont != nullptr)
        SelectObject(dc, previousFont);
}

static void OnPaint(HWND window)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Below 16 bits per pixel a stretched ramp would dither badly; the black
    // class brush stays instead.
    if (GetDeviceCaps(dc, BITSPIXEL) >= 16)
        StretchBlt(dc, 0, 0, width, height, GradientDC, 0, 0, 1, kRampHeight, SRCCOPY);
    PaintTitle(dc, width, height);
    EndPaint(window, &paint);
}

static void OnClose()
{
    if (GradientDC != nullptr) {
        DeleteDC(GradientDC);
        GradientDC = nullptr;
    }
    if (GradientBitmap != nullptr) {
        DeleteObject(GradientBitmap);
        GradientBitmap = nullptr;
    }
    if (BigTitleFont != nullptr) {
        DeleteObject(BigTitleFont);
        BigTitleFont = nullptr;
    }
    if (ScriptText != nullptr) {
        HeapFree(GetProcessHeap(), 0, ScriptText);
        ScriptText = nullptr;
    }
    PostQuitMessage(0);
}

static void OnCommand(HWND window, WPARAM wParam)
{
    if (LOWORD(wParam) == IDM_OPEN_SETTINGS)
        DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_SETTINGS), window,
                        SettingsDlgProc, 0);
}

static void OnInstallRequest(HWND window, WPARAM request, LPARAM mustBeZero)
{
    if (InstallLatch != 0 || mustBeZero != 0)
        return;
    if (request == 0)
        DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_COPY), window, CopyDlgProc, 0);
    else if (request == 1)
        InstallLatch = 1;
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_COMMAND:
        OnCommand(window, wParam);
        return 0;
    case WM_INSTALL_STEP:
        OnInstallRequest(window, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
