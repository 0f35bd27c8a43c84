#include "report.h"

#include <algorithm>
#include <cstdio>

#include "display.h"

namespace {

std::string Show(const std::string& sjis)
{
    return SjisToUtf8(sjis);
}

// Columns of UTF-8 text in a Japanese console: a character of two Shift-JIS
// bytes takes two, ASCII and half-width katakana one.
size_t Width(const std::string& utf8)
{
    size_t width = 0;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        bool halfWidth = c < 0x80 || (length == 3 && utf8.compare(i, 2, "\xEF\xBD") == 0 &&
                                      static_cast<unsigned char>(utf8[i + 2]) >= 0xA1) ||
                         (length == 3 && utf8.compare(i, 2, "\xEF\xBE") == 0 &&
                          static_cast<unsigned char>(utf8[i + 2]) <= 0x9F);
        width += halfWidth ? 1 : 2;
        i += length;
    }
    return width;
}

std::string Pad(std::string text, size_t width)
{
    size_t now = Width(text);
    if (now < width)
        text.append(width - now, ' ');
    return text;
}

// The report's texts in one language.
class Texts {
public:
    explicit Texts(Language language) : language_(language) {}
    std::string operator()(MessageId id, std::initializer_list<MessageArg> args = {}) const
    {
        return Message(language_, id, args);
    }

    std::string LineLabel(int line) const
    {
        return line > 0 ? (*this)(kMsgLine, {std::to_string(line)}) : std::string("-");
    }

    std::string FileText(const FileState& file) const
    {
        if (!file.found)
            return (*this)(kMsgFileMissing);
        if (file.folder)
            return (*this)(kMsgFileFolder);
        std::string text = (*this)(kMsgFileFound, {std::to_string(file.size)});
        if (file.match == kMatchCase)
            text += (*this)(kMsgCaseDiffers);
        else if (file.match == kMatchUtf8Name)
            text += (*this)(kMsgUtf8Name);
        return text;
    }

    std::string BoxText(const Box& box) const
    {
        std::string text = (*this)(kMsgBoxState, {box.checked ? kMsgChecked : kMsgUnchecked,
                                                  box.enabled ? kMsgEnabled : kMsgDisabled});
        if (box.setting.present)
            text += (*this)(kMsgBoxSetting, {box.setting.key, box.setting.value});
        return text;
    }

private:
    Language language_;
};

const char* const kSeverityNames[] = {"", "warning", "error"};

}  // namespace

std::string RenderText(const Report& r, const std::string& medium, Language language)
{
    Texts say(language);
    std::string out;
    out += say(kMsgMedium, {MessageArg::Utf8(medium)});
    out += say(kMsgScriptSize, {std::to_string(r.scriptBytes), std::to_string(r.scriptLines)});
    out += say(kMsgAssumed, {kAssumedWindowsDir, kAssumedSystemDir, kAssumedSourceDir, kAssumedProgramsDir,
                             r.browsedDir, kAssumedBrowseParent});

    out += say(kMsgDialogHeading);
    const MessageId labels[] = {kMsgBigTitle, kMsgCaption, kMsgTextLine, kMsgPicture,
                                kMsgInstallFolder, kMsgStartMenuBox, kMsgStartUpBox};
    size_t labelWidth = 0;
    for (MessageId label : labels)
        labelWidth = std::max(labelWidth, Width(say(label, {"1"})) + 2);
    auto row = [&](const std::string& label, const std::string& value) {
        out += "  " + Pad(label, labelWidth) + value + "\n";
    };
    row(say(kMsgBigTitle), Show(r.bigTitle.value) + (r.bigTitle.present ? "" : say(kMsgDefault)));
    row(say(kMsgCaption), Show(r.caption.value) + (r.caption.present ? "" : say(kMsgDefault)));
    for (int i = 0; i < kTextLineCount; ++i) {
        const KeyValue& line = r.textLines[i];
        row(say(kMsgTextLine, {std::to_string(i + 1)}),
            line.present ? Show(line.value) : say(kMsgNoTextLine, {line.key}));
    }
    const Bitmap& b = r.bitmap;
    std::string picture;
    if (!b.file.found || b.file.folder)
        picture = say(kMsgPictureMissing, {b.name});
    else if (!b.valid)
        picture = say(kMsgPictureNotBitmap, {b.name, MessageArg::Utf8(say.FileText(b.file))});
    else
        picture = say(kMsgPictureSize, {b.name, MessageArg::Utf8(say.FileText(b.file)),
                                        std::to_string(b.width), std::to_string(b.height)});
    row(say(kMsgPicture), picture);
    std::string folder = Show(r.proposedDir);
    if (!r.folderEnabled)
        folder += say(kMsgFolderDisabled);
    else if (!r.proposalAccepted)
        folder += say(kMsgFolderRefused);
    else if (r.installDir != r.proposedDir)
        folder += say(kMsgFolderStored, {r.installDir});
    row(say(kMsgInstallFolder), folder);
    row(say(kMsgStartMenuBox), say.BoxText(r.startMenu));
    row(say(kMsgStartUpBox), say.BoxText(r.startUp));

    // Line labels in a column as wide as "line 99" and two blanks.
    size_t lineWidth = Width(say.LineLabel(99)) + 2;
    std::string below(4 + lineWidth, ' ');
    out += say(kMsgCopiesHeading);
    for (const CopySection& section : r.copies) {
        MessageArg directory = section.directory.empty() ? MessageArg(kMsgNoFolder) : MessageArg(section.directory);
        out += say(section.overwrites ? kMsgCopyOverwrites : kMsgCopyKeeps, {section.name, directory});
        if (section.entries.empty())
            out += say(kMsgNoLines);
        for (const CopyEntry& entry : section.entries) {
            out += "    " + Pad(say.LineLabel(entry.line), lineWidth) + Show(entry.name) + "  " +
                   say.FileText(entry.source) + "\n" + below + "-> " + Show(entry.destination) + "\n";
        }
    }

    out += say(kMsgShortcutsHeading);
    const MessageId boxes[2] = {kMsgStartMenuName, kMsgStartUpName};
    for (int k = 0; k < 2; ++k) {
        const ShortcutSection& section = r.shortcuts[k];
        out += say(kMsgShortcutSection, {section.name, section.folder, boxes[k]});
        if (section.shortcuts.empty())
            out += say(kMsgNoLines);
        for (const Shortcut& s : section.shortcuts) {
            out += "    " + Pad(say.LineLabel(s.line), lineWidth);
            if (s.skipped) {
                out += Show(s.text) + say(kMsgSkipped) + "\n";
                continue;
            }
            out += Show(s.linkFile) + " -> " + Show(s.targetPath) +
                   say(s.installed ? kMsgInstalled : kMsgNotInstalled) + "\n";
        }
    }

    out += say(kMsgFindingsHeading);
    if (r.findings.empty())
        out += say(kMsgNone);
    for (const Finding& f : r.findings) {
        out += "  " + Pad(say.LineLabel(f.line) + ":", lineWidth + 1) +
               say(f.severity == kError ? kMsgError : kMsgWarning) + " [" + f.code + "] " + f.message[language] + "\n";
    }

    out += say(kMsgTotals, {std::to_string(r.files), std::to_string(r.filesFound), std::to_string(r.bytes),
                            std::to_string(r.shortcutCount), std::to_string(r.errors),
                            std::to_string(r.warnings)});
    out += say(ExitStatus(r) == 0 ? kMsgResultClean : kMsgResultFails);
    return out;
}

namespace {

// A JSON string of UTF-8 text, every non-ASCII character escaped.
std::string Json(const std::string& utf8)
{
    std::string out = "\"";
    char escape[16];
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned code = c;
        int follow = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (follow > 0)
            code = c & (0x3F >> follow);
        for (int k = 1; k <= follow && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += follow + 1;
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code >= 0x20 && code < 0x7F) {
            out += static_cast<char>(code);
        } else if (code >= 0x10000) {
            code -= 0x10000;
            std::snprintf(escape, sizeof escape, "\\u%04x\\u%04x", 0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF));
            out += escape;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", code);
            out += escape;
        }
    }
    return out + "\"";
}

std::string SjisJson(const std::string& sjis)
{
    return Json(SjisToUtf8(sjis));
}

std::string Bool(bool value)
{
    return value ? "true" : "false";
}

std::string KeyJson(const KeyValue& key)
{
    return "{\"key\": " + Json(key.key) + ", \"present\": " + Bool(key.present) + ", \"value\": " +
           SjisJson(key.value) + ", \"line\": " + std::to_string(key.line) + "}";
}

std::string FileJson(const FileState& file)
{
    static const char* const matches[] = {"exact", "case", "utf8-name"};
    return "{\"found\": " + Bool(file.found) + ", \"folder\": " + Bool(file.folder) + ", \"bytes\": " +
           std::to_string(file.size) + ", \"match\": " + Json(matches[file.match]) + "}";
}

std::string BoxJson(const Box& box)
{
    return "{\"setting\": " + KeyJson(box.setting) + ", \"checked\": " + Bool(box.checked) +
           ", \"enabled\": " + Bool(box.enabled) + "}";
}

template <typename Item, typename Each>
std::string List(const Item& items, Each each, const char* indent)
{
    std::string out = "[";
    bool first = true;
    for (const auto& item : items) {
        out += first ? "\n" : ",\n";
        out += indent + each(item);
        first = false;
    }
    return out + (first ? "]" : "\n" + std::string(indent).substr(2) + "]");
}

}  // namespace

std::string RenderJson(const Report& r, const std::string& medium)
{
    std::string out = "{\n";
    out += "  \"medium\": " + Json(medium) + ",\n";
    out += "  \"script\": {\"bytes\": " + std::to_string(r.scriptBytes) + ", \"lines\": " +
           std::to_string(r.scriptLines) + "},\n";
    out += std::string("  \"assumed\": {\"windows_dir\": ") + Json(kAssumedWindowsDir) + ", \"system_dir\": " +
           Json(kAssumedSystemDir) + ", \"source_dir\": " + Json(kAssumedSourceDir) +
           ", \"programs_dir\": " + Json(kAssumedProgramsDir) + ", \"startup_dir\": " +
           Json(kAssumedStartUpDir) + ", \"browsed_install_dir\": " + SjisJson(r.browsedDir) + "},\n";
    const Bitmap& b = r.bitmap;
    out += "  \"dialog\": {\n";
    out += "    \"big_title\": " + KeyJson(r.bigTitle) + ",\n";
    out += "    \"caption\": " + KeyJson(r.caption) + ",\n";
    out += "    \"text_lines\": " + List(r.textLines, KeyJson, "      ") + ",\n";
    out += "    \"picture\": {\"name\": " + SjisJson(b.name) + ", \"named\": " + Bool(b.named) + ", \"file\": " +
           FileJson(b.file) + ", \"bitmap\": " + Bool(b.valid) + ", \"width\": " + std::to_string(b.width) +
           ", \"height\": " + std::to_string(b.height) + "},\n";
    out += "    \"install_folder\": {\"proposed\": " + SjisJson(r.proposedDir) + ", \"stored\": " +
           SjisJson(r.installDir) + ", \"accepted\": " + Bool(r.proposalAccepted) + ", \"enabled\": " +
           Bool(r.folderEnabled) + "},\n";
    out += "    \"start_menu_box\": " + BoxJson(r.startMenu) + ",\n";
    out += "    \"startup_box\": " + BoxJson(r.startUp) + ",\n";
    out += "    \"start_menu_group\": " + KeyJson(r.startMenuGroup) + "\n  },\n";
    out += "  \"copy_sections\": " + List(r.copies, [](const CopySection& s) {
        return "{\"section\": " + Json(s.name) + ", \"directory\": " + SjisJson(s.directory) +
               ", \"existing_file\": " + Json(s.overwrites ? "overwritten" : "kept") + ", \"entries\": " +
               List(s.entries, [](const CopyEntry& e) {
                   return "{\"line\": " + std::to_string(e.line) + ", \"name\": " + SjisJson(e.name) +
                          ", \"source\": " + FileJson(e.source) + ", \"destination\": " +
                          SjisJson(e.destination) + ", \"in_subfolder\": " + Bool(e.inSubfolder) + "}";
               }, "        ") + "}";
    }, "    ") + ",\n";
    out += "  \"shortcut_sections\": " + List(r.shortcuts, [](const ShortcutSection& s) {
        return "{\"section\": " + Json(s.name) + ", \"folder\": " + SjisJson(s.folder) + ", \"shortcuts\": " +
               List(s.shortcuts, [](const Shortcut& c) {
                   return "{\"line\": " + std::to_string(c.line) + ", \"text\": " + SjisJson(c.text) +
                          ", \"skipped\": " + Bool(c.skipped) + ", \"name\": " + SjisJson(c.name) +
                          ", \"link_file\": " + SjisJson(c.linkFile) + ", \"target\": " + SjisJson(c.target) +
                          ", \"target_path\": " + SjisJson(c.targetPath) + ", \"installed\": " +
                          Bool(c.installed) + "}";
               }, "        ") + "}";
    }, "    ") + ",\n";
    out += "  \"findings\": " + List(r.findings, [](const Finding& f) {
        return std::string("{\"severity\": ") + Json(kSeverityNames[f.severity]) + ", \"line\": " +
               std::to_string(f.line) + ", \"code\": " + Json(f.code) + ", \"message\": " +
               Json(f.message[kEnglish]) + "}";
    }, "    ") + ",\n";
    out += "  \"totals\": {\"files\": " + std::to_string(r.files) + ", \"files_found\": " +
           std::to_string(r.filesFound) + ", \"bytes\": " + std::to_string(r.bytes) + ", \"shortcuts\": " +
           std::to_string(r.shortcutCount) + ", \"errors\": " + std::to_string(r.errors) +
           ", \"warnings\": " + std::to_string(r.warnings) + "},\n";
    out += "  \"exit_status\": " + std::to_string(ExitStatus(r)) + "\n}\n";
    return out;
}

std::string RenderNoScript(const std::string& medium, bool json, Language language)
{
    if (json) {
        return "{\n  \"medium\": " + Json(medium) + ",\n  \"error\": \"no readable setup.ini\",\n"
               "  \"exit_status\": 2\n}\n";
    }
    return Message(language, kMsgMedium, {MessageArg::Utf8(medium)}) + Message(language, kMsgNoScript);
}
