// What does not fit: the settings dialog's texts and caption and the big
// title, measured with the fonts the windows use, so that a vendor sees
// before shipping what the customer's screen will cut.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fit {

// One measured text: its width against the room it has, in pixels.
struct Row {
    std::string what;  // "msga" .. "msgg", "banner", "Title", "BigTitle"
    std::string text;  // code page 932
    int width = 0;
    int room = 0;
    int screenWidth = 0;  // the big title's rows: the screen it is set against
    bool Cut() const { return width > room; }
};

struct Report {
    std::string dialogFace;   // the face the dialog's font asks for
    std::string standIn;      // the face Wine gave it
    bool proportional = false;
    bool japanese = false;
    std::vector<Row> rows;
    int Cuts() const;
};

// The settings dialog as setup.exe shows it: its seven text lines, the
// banner and the caption. Its font comes from the same template, made in
// this process (setupExe's dialog 102), so that it can be measured here.
bool MeasureSettings(HWND settings, const std::string& setupExe, Report* report);

// The big title as the backdrop draws it, with its shadow, against screens
// of 640, 800 and 1024 pixels; script is the whole setup.ini.
void MeasureBigTitle(const std::string& script, Report* report);

// The report, UTF-8, in Japanese or English.
std::string Format(const Report& report, bool inJapanese);

}  // namespace fit
