#include "check.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "install/install_sequence.h"
#include "script/keys.h"
#include "script/script.h"
#include "script/text.h"
#include "shell/settings_logic.h"
#include "shell/state.h"

const char kAssumedWindowsDir[] = "C:\\WINDOWS";
const char kAssumedSystemDir[] = "C:\\WINDOWS\\SYSTEM";
const char kAssumedDriveRoot[] = "C:\\";
const char kAssumedSourceDir[] = "D:\\";
const char kAssumedProgramsDir[] = "C:\\WINDOWS\\Start Menu\\Programs";
const char kAssumedStartUpDir[] = "C:\\WINDOWS\\Start Menu\\Programs\\StartUp";
const char kAssumedBrowseParent[] = "C:\\Program Files";

namespace {

// The sections setup.exe reads, in the order of the report.
const char* const kSections[] = {
    SECTION_INIT, SECTION_INSTALL, SECTION_INSTALL_WINDOWS, SECTION_INSTALL_SYSTEM,
    SECTION_START_MENU_SET, SECTION_START_UP_SET,
};
const int kSectionCount = 6;
const int kNoSection = -1;

// The place of a section named as setup.exe names it in kSections.
int SectionNumber(const char* name)
{
    for (int s = 0; s < kSectionCount; ++s) {
        if (std::strcmp(kSections[s], name) == 0)
            return s;
    }
    return kNoSection;
}

// The keys of [init], msga..msgg formed as the dialog forms them.
std::vector<std::string> InitKeys()
{
    std::vector<std::string> keys = {KEY_BIG_TITLE, KEY_TITLE};
    std::string message = KEY_FIRST_MESSAGE;
    for (int i = 0; i < kTextLineCount; ++i) {
        keys.push_back(message);
        ++message.back();
    }
    for (const char* key : {KEY_IMAGE, KEY_DEFAULT_START_MENU, KEY_DEFAULT_START_UP,
                            KEY_COPY_DIR, KEY_START_MENU_GROUP})
        keys.push_back(key);
    return keys;
}

bool IsMessageKey(const std::string& key)
{
    return key.size() == 4 && key.compare(0, 3, "msg") == 0;
}

enum LineKind { kBlank, kComment, kHeader, kEntry };

// One line of setup.ini as the reader sees it, with its place in the file.
// Lines are numbered as an editor numbers them (a CR LF pair ends one line),
// so that the numbers match what the vendor sees.
struct FileLine {
    int number = 0;
    size_t length = 0;      // the whole line
    std::string text;       // the first kScriptLineLength bytes, as read
    LineKind kind = kBlank;
    size_t lead = 0;        // offset of the lead byte in text
    int section = kNoSection;  // entries: the section open; headers: the one named
    bool closed = false;    // headers: a "]" follows the name
    bool beforeHeader = false;
};

// The lines of the reader's own line reading. Between the CR and the LF of a
// pair the reader sees an empty line, which is no line of the file and, being
// blank, changes nothing.
std::vector<FileLine> ReadLines(const char* text)
{
    std::vector<FileLine> lines;
    int current = kNoSection;
    bool seenHeader = false;
    int number = 1;
    for (const char* cursor = text; *cursor != '\0';) {
        ScriptLine read;
        const char* next = ReadScriptLine(cursor, &read);
        bool pairEnd = cursor != text && cursor[-1] == '\r' && *cursor == '\n';
        const char* start = cursor;
        cursor = next;
        if (pairEnd)
            continue;
        FileLine line;
        line.number = number++;
        bool ended = next[-1] == '\r' || next[-1] == '\n';
        line.length = static_cast<size_t>(next - start) - (ended ? 1 : 0);
        line.text.assign(read.begin, read.end);

        const char* lead = SkipBlanks(line.text.c_str());
        line.lead = static_cast<size_t>(lead - line.text.c_str());
        if (*lead == '\0') {
            line.kind = kBlank;
        } else if (*lead == ';') {
            line.kind = kComment;
        } else if (*lead == '[') {
            line.kind = kHeader;
            const char* name = SkipBlanks(lead + 1);
            line.closed = FindChar(name, ']') != nullptr;
            for (int s = 0; s < kSectionCount; ++s) {
                if (MatchName(name, kSections[s]))
                    line.section = s;
            }
            current = line.closed ? line.section : kNoSection;
            seenHeader = true;
        } else {
            line.kind = kEntry;
            line.section = current;
            line.beforeHeader = !seenHeader;
        }
        lines.push_back(line);
    }
    return lines;
}

// --- Shift-JIS as Windows file names see it ------------------------------

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Offset of the first `character` that is a character of its own, not the
// second byte of a double-byte character; npos when there is none.
size_t FindWholeChar(const std::string& text, char character)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (text[i] == character)
            return i;
    }
    return std::string::npos;
}

// The first double-byte character whose second byte is `character`, or "".
std::string TrailByteChar(const std::string& text, char character)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (text[i + 1] == character)
                return text.substr(i, 2);
            ++i;
        }
    }
    return "";
}

// Characters no Windows file name may hold; `separators` adds "\" and "/".
std::string BadNameCharacters(const std::string& name, bool separators)
{
    std::string bad;
    const char* refused = separators ? "\\/:*?\"<>|" : ":*?\"<>|";
    for (const char* c = refused; *c != '\0'; ++c) {
        if (FindWholeChar(name, *c) != std::string::npos)
            bad += *c;
    }
    return bad;
}

bool EndsInBlank(const std::string& text)
{
    return !text.empty() && (text.back() == ' ' || text.back() == '\t');
}

// Windows compares file names without ASCII case and drops trailing blanks
// and dots of a name.
std::string WindowsNameKey(const std::string& name)
{
    std::string key = name;
    while (!key.empty() && (key.back() == ' ' || key.back() == '.'))
        key.pop_back();
    for (size_t i = 0; i < key.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        if (IsLeadByte(c) && i + 1 < key.size()) {
            ++i;
            continue;
        }
        if (c >= 'a' && c <= 'z')
            key[i] = static_cast<char>(c - 32);
        if (key[i] == '/')
            key[i] = '\\';
    }
    return key;
}

size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string LeadingLetters(const char* text)
{
    std::string letters;
    while (IsAsciiLetter(*text))
        letters += *text++;
    return letters;
}

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return text;
}

std::string Trimmed(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return "";
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool IsValidUtf8(const std::string& text, bool* hasMultiByte)
{
    *hasMultiByte = false;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int follow = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1
                   : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : -1;
        if (follow < 0)
            return false;
        for (int k = 1; k <= follow; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        if (follow > 0)
            *hasMultiByte = true;
        i += follow + 1;
    }
    return true;
}

// --- The analysis ---------------------------------------------------------

class Checker {
public:
    Checker(const std::string& script, Medium& medium)
        : bytes_(script), text_(script.c_str()), medium_(medium), lines_(ReadLines(text_))
    {
    }

    Report Run();

private:
    void Add(Severity severity, int line, const char* code, MessageId id,
             std::initializer_list<MessageArg> args = {})
    {
        Finding finding{severity, line, code, {}};
        for (int language = 0; language < kLanguageCount; ++language)
            finding.message[language] = Message(static_cast<Language>(language), id, args);
        report_.findings.push_back(finding);
    }
    const FileLine* Line(int number) const
    {
        return number >= 1 && number <= static_cast<int>(lines_.size()) ? &lines_[number - 1] : nullptr;
    }
    // The entries of a section as GetScriptLine gives them, each with the
    // number of the line it comes from.
    std::vector<std::pair<int, std::string>> Entries(const char* section) const
    {
        std::vector<int> numbers;
        for (const FileLine& line : lines_) {
            if (line.kind == kEntry && line.section == SectionNumber(section))
                numbers.push_back(line.number);
        }
        std::vector<std::pair<int, std::string>> entries;
        char entry[kPathSize];
        for (int n = 1; GetScriptLine(text_, section, n, entry, kPathSize) != 0; ++n)
            entries.push_back({n <= static_cast<int>(numbers.size()) ? numbers[n - 1] : 0, entry});
        return entries;
    }

    void CheckEncoding();
    void CheckLines();
    void CheckHeaders();
    void CheckInitKeys();
    KeyValue Value(const char* key, int size, const char* fallback);
    void FillDialog();
    void CheckBitmap();
    void CheckBoxSetting(Box* box, const char* section, MessageId what);
    void ProposeFolder();
    void CopyFiles();
    void MakeShortcuts();
    void Count();

    std::string bytes_;
    const char* text_;
    Medium& medium_;
    std::vector<FileLine> lines_;
    std::vector<int> keyLines_;        // deciding key line per InitKeys() index
    Report report_;
};

void Checker::CheckEncoding()
{
    const std::string& b = bytes_;
    if (b.size() >= 2 && ((b[0] == '\xFF' && b[1] == '\xFE') || (b[0] == '\xFE' && b[1] == '\xFF'))) {
        Add(kError, 1, "utf16-script", kMsgUtf16Script);
        return;
    }
    size_t read = std::strlen(text_);
    if (read < b.size()) {
        bool more = b.find_first_not_of(std::string("\0 \t\r\n\x1A", 6), read) != std::string::npos;
        // The NUL stands on the line after the last one read when that one ended.
        bool ended = read == 0 || text_[read - 1] == '\r' || text_[read - 1] == '\n';
        Add(more ? kError : kWarning, static_cast<int>(lines_.size()) + (ended ? 1 : 0), "nul-byte",
            kMsgNulByte, {std::to_string(b.size() - read)});
    }
    bool multiByte = false;
    if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        const FileLine* first = Line(1);
        std::string rest = first ? first->text.substr(3) : "";
        const char* lead = SkipBlanks(rest.c_str());
        if (*lead == '[') {
            std::string name = LeadingLetters(SkipBlanks(lead + 1));
            bool known = false;
            for (const char* section : kSections)
                known = known || MatchName(name.c_str(), section);
            Add(known ? kError : kWarning, 1, "bom-hides-header", kMsgBomHidesHeader, {Trimmed(rest)});
        } else {
            Add(kWarning, 1, "bom", kMsgBom);
        }
    }
    // The mark alone makes no Japanese text garbled; look past it.
    std::string body(text_);
    if (body.compare(0, 3, "\xEF\xBB\xBF") == 0)
        body.erase(0, 3);
    if (IsValidUtf8(body, &multiByte) && multiByte) {
        Add(kWarning, 0, "utf8-script", kMsgUtf8Script);
    }
}

void Checker::CheckLines()
{
    // After a hidden first header or in a UTF-16 file every line stands
    // before a header; the finding about the encoding says so already.
    bool said = false;
    for (const Finding& finding : report_.findings)
        said = said || finding.code == "bom-hides-header" || finding.code == "utf16-script";
    bool bom = bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0;
    for (const FileLine& line : lines_) {
        if (line.length > static_cast<size_t>(kScriptLineLength)) {
            Add(kWarning, line.number, "long-line", kMsgLongLine,
                {std::to_string(line.length), std::to_string(kScriptLineLength)});
        }
        if (line.kind == kEntry && line.beforeHeader && !said && !(bom && line.number == 1)) {
            const char* lead = line.text.c_str() + line.lead;
            bool key = FindChar(lead, '=') != nullptr;
            Add(kWarning, line.number, "before-header", key ? kMsgBeforeHeaderKey : kMsgBeforeHeaderLine,
                {lead});
        }
    }
}

void Checker::CheckHeaders()
{
    for (const FileLine& line : lines_) {
        if (line.kind != kHeader)
            continue;
        const char* lead = line.text.c_str() + line.lead;
        const char* name = SkipBlanks(lead + 1);
        std::string letters = LeadingLetters(name);
        if (!line.closed) {
            int lost = 0;
            for (size_t i = line.number; i < lines_.size() && lines_[i].kind != kHeader; ++i)
                lost += lines_[i].kind == kEntry ? 1 : 0;
            bool known = line.section != kNoSection;
            Add(known && lost > 0 ? kError : kWarning, line.number, "unclosed-header",
                lost == 0 ? kMsgUnclosedHeader : lost == 1 ? kMsgUnclosedHeaderLostOne : kMsgUnclosedHeaderLost,
                {lead, std::to_string(lost)});
            continue;
        }
        if (line.section != kNoSection) {
            // Only the leading letters count: "[Install Windows]" is [Install].
            std::string rest(name + letters.size());
            rest = rest.substr(0, rest.find(']'));
            if (!Trimmed(rest).empty()) {
                Add(kWarning, line.number, "header-suffix", kMsgHeaderSuffix,
                    {lead, kSections[line.section]});
            }
            continue;
        }
        std::string suggestion;
        size_t best = 3;
        for (const char* section : kSections) {
            size_t distance = EditDistance(Upper(letters), Upper(section));
            if (letters.size() >= 4 && distance < best) {
                best = distance;
                suggestion = section;
            }
        }
        if (Upper(letters) == Upper("StartMenuSet")) {
            Add(kError, line.number, "misspelt-section", kMsgStartMenuSetSpelling);
        } else if (!suggestion.empty()) {
            Add(kError, line.number, "misspelt-section", kMsgMisspeltSection, {lead, suggestion});
        } else {
            Add(kWarning, line.number, "unknown-section", kMsgUnknownSection, {lead});
        }
    }
}

void Checker::CheckInitKeys()
{
    std::vector<std::string> keys = InitKeys();
    keyLines_.assign(keys.size(), 0);
    for (const FileLine& line : lines_) {
        if (line.kind != kEntry || line.section != SectionNumber(SECTION_INIT))
            continue;
        const char* lead = line.text.c_str() + line.lead;
        const char* equals = FindChar(lead, '=');
        int key = -1;
        for (size_t k = 0; k < keys.size(); ++k) {
            if (MatchName(lead, keys[k].c_str()))
                key = static_cast<int>(k);
        }
        if (key < 0) {
            if (equals != nullptr) {
                std::string name = Trimmed(std::string(lead, equals));
                Add(kWarning, line.number, "unknown-key", kMsgUnknownKey, {name});
            } else {
                Add(kWarning, line.number, "no-equals", kMsgNoEqualsUnknown, {lead});
            }
            continue;
        }
        const std::string& name = keys[key];
        if (equals == nullptr) {
            Add(kWarning, line.number, "no-equals", kMsgNoEqualsKey, {lead, name});
            continue;
        }
        std::string written = Trimmed(std::string(lead, equals));
        if (Upper(written) != Upper(name)) {
            Add(kWarning, line.number, "key-suffix", kMsgKeySuffix, {written, name});
        }
        if (keyLines_[key] != 0) {
            const FileLine* first = Line(keyLines_[key]);
            const char* firstEquals = FindChar(first->text.c_str() + first->lead, '=');
            bool firstEmpty = firstEquals[1] == '\0';
            Add(kWarning, line.number, "repeated-key", firstEmpty ? kMsgRepeatedEmptyKey : kMsgRepeatedKey,
                {name, std::to_string(first->number)});
            continue;
        }
        keyLines_[key] = line.number;
        if ((equals[1] == ' ' || equals[1] == '\t') && !IsMessageKey(name)) {
            Add(kWarning, line.number, "leading-blank", kMsgLeadingBlank, {name, equals + 1});
        }
    }
}

KeyValue Checker::Value(const char* key, int size, const char* fallback)
{
    KeyValue value;
    value.key = key;
    std::vector<char> buffer(size);
    value.present = GetScriptValue(text_, SECTION_INIT, key, buffer.data(), size) != 0;
    value.value = value.present ? buffer.data() : (fallback ? fallback : "");
    std::vector<std::string> keys = InitKeys();
    for (size_t k = 0; k < keys.size(); ++k) {
        if (keys[k] == key)
            value.line = keyLines_[k];
    }
    return value;
}

void Checker::FillDialog()
{
    report_.bigTitle = Value(KEY_BIG_TITLE, kBigTitleSize, DEFAULT_BIG_TITLE);
    if (report_.bigTitle.present) {
        const FileLine* line = Line(report_.bigTitle.line);
        std::string written = line ? std::string(FindChar(line->text.c_str(), '=') + 1) : "";
        if (written.size() > report_.bigTitle.value.size()) {
            Add(kWarning, report_.bigTitle.line, "long-title", kMsgLongTitle,
                {std::to_string(written.size()), std::to_string(kBigTitleSize - 1), report_.bigTitle.value});
        }
    }
    // The dialog's own caption; the literal is Shift-JIS like every script text.
    report_.caption = Value(KEY_TITLE, kValueSize, "セットアップ");
    std::string key = KEY_FIRST_MESSAGE;
    for (KeyValue& line : report_.textLines) {
        line = Value(key.c_str(), kValueSize, nullptr);
        ++key.back();
    }
    report_.startMenuGroup = Value(KEY_START_MENU_GROUP, kPathSize, DEFAULT_FOLDER_NAME);
}

void Checker::CheckBitmap()
{
    Bitmap& bitmap = report_.bitmap;
    KeyValue image = Value(KEY_IMAGE, kValueSize, DEFAULT_IMAGE);
    bitmap.name = image.value;
    bitmap.named = image.present;
    if (FindWholeChar(bitmap.name, ':') != std::string::npos || bitmap.name[0] == '\\') {
        Add(kWarning, image.line, "bitmap-elsewhere", kMsgBitmapElsewhere, {bitmap.name});
        return;
    }
    bitmap.file = medium_.Probe(bitmap.name);
    if (!bitmap.file.found || bitmap.file.folder) {
        if (bitmap.named) {
            Add(kWarning, image.line, "missing-bitmap", kMsgMissingBitmap, {bitmap.name});
        }
        return;
    }
    std::string head;
    medium_.Read(bitmap.name, 26, &head);
    auto u16 = [&](size_t at) { return int(static_cast<unsigned char>(head[at])) |
                                       int(static_cast<unsigned char>(head[at + 1])) << 8; };
    auto s32 = [&](size_t at) {
        unsigned v = unsigned(u16(at)) | unsigned(u16(at + 2)) << 16;
        return static_cast<int>(v);
    };
    if (head.size() >= 26 && head[0] == 'B' && head[1] == 'M') {
        int headerSize = s32(14);
        if (headerSize == 12) {
            bitmap.width = u16(18);
            bitmap.height = u16(20);
            bitmap.valid = true;
        } else if (headerSize >= 40) {
            bitmap.width = s32(18);
            bitmap.height = std::abs(s32(22));
            bitmap.valid = true;
        }
    }
    if (!bitmap.valid) {
        Add(kWarning, image.line, "not-a-bitmap", kMsgNotABitmap, {bitmap.name});
        return;
    }
    // The text lines start 98 dialog units right of the picture and the
    // settings frame 78 units below it: about 147 x 117 pixels with the
    // dialog's 9-point font at 96 dpi.
    if (bitmap.width > 147 || bitmap.height > 117) {
        Add(kWarning, image.line, "large-bitmap", kMsgLargeBitmap,
            {std::to_string(bitmap.width), std::to_string(bitmap.height)});
    }
}

void Checker::CheckBoxSetting(Box* box, const char* section, MessageId what)
{
    char first[kPathSize];
    box->enabled = GetScriptLine(text_, section, 1, first, kPathSize) != 0;
    box->checked = box->setting.present && IsDefaultBoxChecked(box->setting.value.c_str());
    if (box->setting.present && !box->checked) {
        std::string word = Upper(Trimmed(box->setting.value));
        bool looksOn = FindChar(box->setting.value.c_str(), '1') != nullptr || word == "YES" ||
                       word == "ON" || word == "TRUE" || word == "Y" || word == "CHECKED";
        if (looksOn) {
            Add(kWarning, box->setting.line, "box-value", kMsgBoxValue,
                {box->setting.key, box->setting.value, what});
        }
    }
    if (box->checked && !box->enabled && std::strcmp(section, SECTION_START_MENU_SET) == 0) {
        Add(kWarning, box->setting.line, "checked-empty-box", kMsgCheckedEmptyBox, {what, section});
    }
}

void Checker::ProposeFolder()
{
    report_.copyDir = Value(KEY_COPY_DIR, kValueSize, DEFAULT_FOLDER_NAME);
    char proposal[kPathSize];
    CopyText(proposal, kAssumedDriveRoot, kPathBound);
    ProposeInstallDir(proposal, report_.copyDir.present ? report_.copyDir.value.c_str() : nullptr);
    report_.proposedDir = proposal;

    char first[kPathSize];
    report_.folderEnabled = GetScriptLine(text_, SECTION_INSTALL, 1, first, kPathSize) != 0;
    // What the install button stores when the user accepts what the edit shows.
    char entry[kPathSize];
    CopyText(entry, report_.folderEnabled ? proposal : "", kPathBound);
    char stored[kPathSize] = "";
    int check = CheckInstallEntry(entry, stored);
    report_.proposalAccepted = check == kEntryAccepted;
    // A refused proposal stores nothing; the paths are still shown under it.
    report_.installDir = report_.proposalAccepted ? stored : proposal;
    int line = report_.copyDir.line;
    if (check == kEntryBadCharacter) {
        Add(kError, line, "proposal-refused", kMsgProposalBadCharacter, {proposal, kForbiddenCharacters});
    } else if (check == kEntryNamelessFolder) {
        Add(kError, line, "proposal-refused", kMsgProposalNameless, {proposal});
    } else if (report_.folderEnabled && report_.installDir != report_.proposedDir) {
        Add(kWarning, line, "proposal-changed", kMsgProposalChanged, {proposal, stored});
    }
    if (report_.copyDir.present && FindWholeChar(report_.copyDir.value, ':') != std::string::npos) {
        Add(kError, line, "proposal-colon", kMsgProposalColon, {proposal});
    }
    char browsed[kPathSize];
    CopyText(browsed, kAssumedBrowseParent, kPathBound);
    ComposeBrowsedPath(browsed, proposal);
    report_.browsedDir = browsed;
    std::string trail = TrailByteChar(report_.copyDir.value, '\\');
    if (report_.copyDir.present && !trail.empty()) {
        Add(kWarning, line, "trail-backslash", kMsgCopyDirTrailBackslash,
            {trail, kAssumedBrowseParent, browsed});
    }
    if (report_.startMenuGroup.present) {
        std::string bad = BadNameCharacters(report_.startMenuGroup.value, false);
        if (!bad.empty()) {
            Add(kError, report_.startMenuGroup.line, "group-name", kMsgGroupName, {bad});
        }
        trail = TrailByteChar(report_.startMenuGroup.value, '\\');
        if (!trail.empty()) {
            Add(kWarning, report_.startMenuGroup.line, "trail-backslash", kMsgGroupTrailBackslash, {trail});
        }
    }
}

void Checker::CopyFiles()
{
    const char* directories[3] = {report_.installDir.c_str(), kAssumedWindowsDir, kAssumedSystemDir};
    for (int s = 0; s < 3; ++s) {
        CopySection& section = report_.copies[s];
        section.name = InstallSections[s];
        section.directory = directories[s];
        section.overwrites = s == 0;
        for (const auto& [line, name] : Entries(InstallSections[s])) {
            const char* entry = name.c_str();
            CopyEntry copy;
            copy.line = line;
            copy.name = name;
            char destination[kPathSize];
            int whole = ComposePath(destination, section.directory.c_str(), entry, nullptr);
            copy.destination = destination;
            if (s == 0) {
                char browsed[kPathSize];
                whole &= ComposePath(browsed, report_.browsedDir.c_str(), entry, nullptr);
            }
            if (!whole) {
                Add(kWarning, copy.line, "long-path", s == 0 ? kMsgLongInstallPath : kMsgLongPath,
                    {entry, std::to_string(kPathBound), section.directory, report_.browsedDir});
            }
            std::string bad = BadNameCharacters(copy.name, false);
            size_t separator = std::min(FindWholeChar(copy.name, '\\'), FindWholeChar(copy.name, '/'));
            copy.inSubfolder = separator != std::string::npos;
            if (!bad.empty()) {
                Add(kError, copy.line, "bad-name", kMsgBadName, {entry, bad});
            } else if (copy.inSubfolder) {
                std::string folder = copy.name.substr(0, separator);
                if (s == 0) {
                    Add(kError, copy.line, "subfolder", kMsgSubfolderInstall,
                        {entry, folder, section.directory});
                } else {
                    Add(kWarning, copy.line, "subfolder", kMsgSubfolderElsewhere,
                        {entry, section.directory + "\\" + folder});
                }
            }
            if (EndsInBlank(copy.name)) {
                Add(kWarning, copy.line, "trailing-blank", kMsgTrailingBlank, {entry});
            }
            copy.source = medium_.Probe(copy.name);
            MessageId consequence = s == 0 ? kMsgFailsWithBox : kMsgFailsSilently;
            if (!copy.source.found)
                Add(kError, copy.line, "missing-source", kMsgMissingSource, {entry, consequence});
            else if (copy.source.folder)
                Add(kError, copy.line, "source-is-folder", kMsgSourceIsFolder, {entry, consequence});
            section.entries.push_back(copy);
        }
    }
}

void Checker::MakeShortcuts()
{
    std::vector<std::string> installed;
    for (const CopyEntry& entry : report_.copies[0].entries)
        installed.push_back(WindowsNameKey(entry.name));

    char group[kPathSize];
    ComposePath(group, kAssumedProgramsDir, report_.startMenuGroup.value.c_str(), nullptr);
    const char* folders[2] = {group, kAssumedStartUpDir};
    const char* sections[2] = {SECTION_START_MENU_SET, SECTION_START_UP_SET};
    for (int k = 0; k < 2; ++k) {
        ShortcutSection& section = report_.shortcuts[k];
        section.name = sections[k];
        section.folder = folders[k];
        for (const auto& [number, text] : Entries(sections[k])) {
            char line[kPathSize];
            CopyText(line, text.c_str(), kPathBound);
            Shortcut shortcut;
            shortcut.line = number;
            shortcut.text = text;
            std::string trail = TrailByteChar(shortcut.text.substr(0, FindWholeChar(shortcut.text, '|')), '|');
            char* name = nullptr;
            char* target = nullptr;
            if (SplitShortcutLine(line, &name, &target) == 0) {
                shortcut.skipped = true;
                Add(kError, shortcut.line, "no-bar", kMsgNoBar, {shortcut.text});
                section.shortcuts.push_back(shortcut);
                continue;
            }
            if (!trail.empty()) {
                Add(kError, shortcut.line, "trail-bar", kMsgTrailBar, {trail});
            }
            shortcut.name = name;
            shortcut.target = target;
            char link[kPathSize];
            char targetPath[kPathSize];
            int whole = ComposePath(link, section.folder.c_str(), name, ".lnk");
            whole &= ComposePath(targetPath, report_.installDir.c_str(), target, nullptr);
            shortcut.linkFile = shortcut.name + ".lnk";
            shortcut.targetPath = targetPath;
            if (!whole) {
                Add(kWarning, shortcut.line, "long-path", kMsgLongLinkPath,
                    {shortcut.name, std::to_string(kPathBound)});
            }
            std::string bad = BadNameCharacters(shortcut.name, true);
            if (!bad.empty()) {
                Add(kError, shortcut.line, "link-name", kMsgLinkName, {shortcut.name, bad});
            } else if (shortcut.name.empty()) {
                Add(kWarning, shortcut.line, "empty-name", kMsgEmptyName);
            } else if (EndsInBlank(shortcut.name)) {
                Add(kWarning, shortcut.line, "name-blank", kMsgNameBlank, {shortcut.linkFile});
            }
            std::string key = WindowsNameKey(shortcut.target);
            shortcut.installed = !shortcut.target.empty() &&
                std::find(installed.begin(), installed.end(), key) != installed.end();
            if (!shortcut.installed) {
                Add(kError, shortcut.line, "target-not-installed", kMsgTargetNotInstalled,
                    {shortcut.name, shortcut.targetPath});
            }
            section.shortcuts.push_back(shortcut);
        }
    }
}

void Checker::Count()
{
    for (const CopySection& section : report_.copies) {
        for (const CopyEntry& entry : section.entries) {
            ++report_.files;
            if (entry.source.found && !entry.source.folder) {
                ++report_.filesFound;
                report_.bytes += entry.source.size;
            }
        }
    }
    for (const ShortcutSection& section : report_.shortcuts) {
        for (const Shortcut& shortcut : section.shortcuts)
            report_.shortcutCount += shortcut.skipped ? 0 : 1;
    }
    std::stable_sort(report_.findings.begin(), report_.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    for (const Finding& finding : report_.findings)
        ++(finding.severity == kError ? report_.errors : report_.warnings);
}

Report Checker::Run()
{
    report_.scriptBytes = bytes_.size();
    report_.scriptLines = static_cast<int>(lines_.size());
    CheckEncoding();
    CheckLines();
    CheckHeaders();
    CheckInitKeys();
    FillDialog();
    CheckBitmap();
    report_.startMenu.setting = Value(KEY_DEFAULT_START_MENU, kValueSize, nullptr);
    report_.startUp.setting = Value(KEY_DEFAULT_START_UP, kValueSize, nullptr);
    CheckBoxSetting(&report_.startMenu, SECTION_START_MENU_SET, kMsgStartMenuName);
    CheckBoxSetting(&report_.startUp, SECTION_START_UP_SET, kMsgStartUpName);
    ProposeFolder();
    CopyFiles();
    MakeShortcuts();
    Count();
    return report_;
}

}  // namespace

Report CheckMedium(const std::string& script, Medium& medium)
{
    Checker checker(script, medium);
    return checker.Run();
}

int ExitStatus(const Report& report)
{
    return report.errors > 0 ? 1 : 0;
}
