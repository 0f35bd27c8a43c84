#include "fit.h"

#include <cstdio>

#include "../../res/resource.h"
#include "driver.h"
#include "script/keys.h"
#include "script/script.h"
#include "script/text.h"
#include "shell/state.h"

namespace fit {
namespace {

// As the backdrop draws the big title (src/shell/main.cpp, backdrop.cpp).
const int kBigTitleHeight = -64;
const int kShadowOffset = 8;
const int kScreens[][2] = {{640, 480}, {800, 600}, {1024, 768}};

// Wine draws a caption from 2 pixels after the icon to the close button.
const int kCaptionMargin = 2;

// Windows' own ＭＳ Ｐゴシック makes the dialog's units about 15% smaller
// than the stand-in here (a 149-unit line: about 223 pixels there), while
// full-width characters keep their 12 pixels: a dialog text past this share
// of its room here may be cut there.
const int kTightPercent = 85;

// A UTF-16 string of a dialog template, skipped; an ordinal is two words.
const WORD* SkipSzOrOrd(const WORD* at)
{
    if (*at == 0xFFFF)
        return at + 2;
    while (*at++ != 0) {
    }
    return at;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The width of one line of text as a static control draws it, '&' included.
int LineWidth(HDC dc, const std::string& text)
{
    RECT rect = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    return rect.right - rect.left;
}

// A control of the dialog by class and id; the banner has none (-1).
HWND FindStatic(HWND dialog, int id)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 &&
            static_cast<WORD>(GetDlgCtrlID(child)) == static_cast<WORD>(id))
            return child;
    }
    return nullptr;
}

int ClientWidth(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetClientRect(window, &rect);
    return rect.right - rect.left;
}

// Which font stood in, and whether it is proportional and has Japanese.
// The face name a DC reports is the one asked for; the outline metrics
// name the font that was found.
void DescribeFont(HDC dc, Report* report)
{
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    report->standIn = face;
    UINT size = GetOutlineTextMetricsA(dc, 0, nullptr);
    std::string metricsBytes(size, '\0');
    auto* outline = reinterpret_cast<OUTLINETEXTMETRICA*>(&metricsBytes[0]);
    if (size != 0 && GetOutlineTextMetricsA(dc, size, outline) != 0)
        report->standIn = &metricsBytes[reinterpret_cast<size_t>(outline->otmpFamilyName)];
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    // TMPF_FIXED_PITCH set means a variable pitch, as the SDK says.
    report->proportional = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0 &&
                           LineWidth(dc, "iiiiiiii") < LineWidth(dc, "WWWWWWWW");
    // Two characters that any Japanese font has: hiragana a and kanji kan.
    WORD glyphs[2] = {0, 0};
    report->japanese = GetTextCharset(dc) == SHIFTJIS_CHARSET &&
                       GetGlyphIndicesW(dc, L"\u3042\u6F22", 2, glyphs,
                                        GGI_MARK_NONEXISTING_GLYPHS) == 2 &&
                       glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF;
}

}  // namespace

int Report::Cuts() const
{
    int cuts = 0;
    for (const Row& row : rows)
        cuts += row.Cut() ? 1 : 0;
    return cuts;
}

bool MeasureSettings(HWND settings, const std::string& setupExe, Report* report)
{
    HMODULE module = LoadLibraryExA(setupExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module == nullptr
                         ? nullptr
                         : FindResourceA(module, MAKEINTRESOURCEA(IDD_SETTINGS),
                                         reinterpret_cast<LPCSTR>(RT_DIALOG));
    const DLGTEMPLATE* dialogTemplate =
        resource == nullptr ? nullptr
                            : static_cast<const DLGTEMPLATE*>(
                                  LockResource(LoadResource(module, resource)));
    if (dialogTemplate == nullptr) {
        driver::Fail("dialog 102 not found in " + setupExe);
        return false;
    }
    // Menu, class and caption, then the point size and the face name.
    const WORD* at = reinterpret_cast<const WORD*>(dialogTemplate + 1);
    at = SkipSzOrOrd(SkipSzOrOrd(SkipSzOrOrd(at))) + 1;
    char face[LF_FACESIZE] = "";
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(at), -1, face,
                        sizeof face, nullptr, nullptr);
    report->dialogFace = face;
    HWND copy = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                           QuietDialog, 0);
    if (copy == nullptr) {
        FreeLibrary(module);
        driver::Fail("cannot make a copy of dialog 102 to measure its font");
        return false;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(copy, WM_GETFONT, 0, 0)));
    DescribeFont(dc, report);

    const int lines[] = {IDC_TEXT_LINE1, IDC_TEXT_LINE2, IDC_TEXT_LINE3, IDC_TEXT_LINE4,
                         IDC_TEXT_LINE5, IDC_TEXT_LINE6, IDC_TEXT_LINE7};
    char key[] = KEY_FIRST_MESSAGE;
    for (int id : lines) {
        HWND line = GetDlgItem(settings, id);
        std::string text = driver::WindowText(line);
        report->rows.push_back({key, text, LineWidth(dc, text), ClientWidth(line)});
        ++key[3];
    }
    HWND banner = FindStatic(settings, -1);
    std::string bannerText = driver::WindowText(banner);
    report->rows.push_back({"banner", bannerText, LineWidth(dc, bannerText), ClientWidth(banner)});

    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT captionFont = CreateFontIndirectA(&metrics.lfCaptionFont);
    SelectObject(dc, captionFont);
    TITLEBARINFO titleBar = {};
    titleBar.cbSize = sizeof titleBar;
    GetTitleBarInfo(settings, &titleBar);
    // The title bar less the close button, the one button the dialog has.
    int room = titleBar.rcTitleBar.right - titleBar.rcTitleBar.left -
               GetSystemMetrics(SM_CXSIZE) - kCaptionMargin;
    std::string caption = driver::WindowText(settings);
    report->rows.push_back({"Title", caption, LineWidth(dc, caption), room});

    SelectObject(dc, previous);
    DeleteObject(captionFont);
    ReleaseDC(nullptr, dc);
    DestroyWindow(copy);
    FreeLibrary(module);
    return true;
}

void MeasureBigTitle(const std::string& script, Report* report)
{
    char title[kBigTitleSize] = "";
    if (GetScriptValue(script.c_str(), SECTION_INIT, KEY_BIG_TITLE, title, kBigTitleSize) == 0)
        CopyText(title, DEFAULT_BIG_TITLE, kBigTitleSize - 1);
    LOGFONTA logical = {};
    logical.lfHeight = kBigTitleHeight;
    logical.lfWeight = FW_BOLD;
    logical.lfItalic = TRUE;
    logical.lfCharSet = OEM_CHARSET;
    HFONT font = CreateFontIndirectA(&logical);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT rect = {0, 0, 0, 0};
    DrawTextA(dc, title, -1, &rect, DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    for (const auto& screen : kScreens) {
        Row row = {"BigTitle", title, rect.right + kShadowOffset, screen[0], screen[0]};
        // A title too tall for the screen counts as cut as well.
        if (rect.bottom + kShadowOffset > screen[1])
            row.width = row.room + 1;
        report->rows.push_back(row);
    }
}

std::string Format(const Report& report, bool inJapanese)
{
    // Assembled in the code page of the texts (932), turned into UTF-8 once.
    std::string out;
    char line[512];
    std::string font = report.standIn +
                       (inJapanese ? (report.proportional ? "、プロポーショナル" : "、等幅")
                                   : (report.proportional ? ", proportional" : ", fixed-width")) +
                       (inJapanese ? (report.japanese ? "、日本語" : "、日本語なし")
                                   : (report.japanese ? ", Japanese" : ", no Japanese"));
    std::snprintf(line, sizeof line,
                  inJapanese ? "収まり具合 (ダイアログのフォント「%s」の代わり: %s)\n"
                             : "Fit (the dialog font \"%s\" stood in for by %s)\n",
                  report.dialogFace.c_str(), font.c_str());
    out += line;
    std::string cutNames;
    bool tight = false;
    for (const Row& row : report.rows) {
        std::string what = row.what;
        if (row.screenWidth != 0)
            what += " " + std::to_string(row.screenWidth) + (row.screenWidth == 640   ? "x480"
                                                             : row.screenWidth == 800 ? "x600"
                                                                                      : "x768");
        std::string verdict;
        if (row.Cut()) {
            std::snprintf(line, sizeof line, inJapanese ? "%d px 切れる" : "cut by %d px",
                          row.width - row.room);
            verdict = line;
            if (cutNames.find(row.what) == std::string::npos)
                cutNames += (cutNames.empty() ? "" : ", ") + row.what;
        } else if (row.screenWidth == 0 && row.what != "Title" &&
                   row.width * 100 > row.room * kTightPercent) {
            verdict = inJapanese ? "ぎりぎり" : "tight";
            tight = true;
        } else {
            verdict = inJapanese ? "収まる" : "fits";
        }
        std::snprintf(line, sizeof line, inJapanese ? "  %-17s %4d / %4d px  %-14s 「%s」\n"
                                                    : "  %-17s %4d of %4d px  %-14s \"%s\"\n",
                      what.c_str(), row.width, row.room, verdict.c_str(),
                      row.text.c_str());
        out += line;
    }
    if (tight)
        out += inJapanese ? "ぎりぎり: 余地の 85% を超える行。Windows の ＭＳ Ｐゴシック では切れることがあります。\n"
                          : "tight: past 85% of its room; Windows' own ＭＳ Ｐゴシック may cut it.\n";
    if (cutNames.empty())
        out += inJapanese ? "すべて収まります。\n" : "Everything fits.\n";
    else
        out += (inJapanese ? "切れるもの: " : "Cut: ") + cutNames + "\n";
    return driver::ToUtf8(out);
}

}  // namespace fit
