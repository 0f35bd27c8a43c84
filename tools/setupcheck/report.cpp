#include "report.h"

#include <cstdio>

#include "display.h"

namespace {

std::string Show(const std::string& sjis)
{
    return SjisToUtf8(sjis);
}

std::string Pad(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string LineLabel(int line)
{
    return line > 0 ? "line " + std::to_string(line) : std::string("-");
}

std::string FileText(const FileState& file)
{
    if (!file.found)
        return "MISSING";
    if (file.folder)
        return "A FOLDER";
    std::string text = "found, " + std::to_string(file.size) + " bytes";
    if (file.match == kMatchCase)
        text += ", case differs on disk";
    else if (file.match == kMatchUtf8Name)
        text += ", UTF-8 name on disk";
    return text;
}

std::string BoxText(const Box& box)
{
    std::string text = box.checked ? "checked" : "unchecked";
    text += box.enabled ? ", enabled" : ", disabled";
    if (box.setting.present)
        text += " (" + box.setting.key + "=" + Show(box.setting.value) + ")";
    return text;
}

const char* const kSeverityNames[] = {"", "warning", "error"};

}  // namespace

std::string RenderText(const Report& r, const std::string& medium)
{
    std::string out;
    out += "setupcheck: medium " + medium + "\n";
    out += "setup.ini: " + std::to_string(r.scriptBytes) + " bytes, " + std::to_string(r.scriptLines) +
           " lines\n";
    out += std::string("Assumed: Windows directory ") + kAssumedWindowsDir + ", system directory " +
           kAssumedSystemDir + ", medium at " + kAssumedSourceDir + ",\n         Programs folder " +
           kAssumedProgramsDir + "; path lengths also for the install\n         folder " +
           Show(r.browsedDir) + " (browsing to " + kAssumedBrowseParent + ")\n";

    out += "\nSettings dialog\n";
    auto row = [&](const std::string& label, const std::string& value) {
        out += "  " + Pad(label, 16) + value + "\n";
    };
    row("Big title", Show(r.bigTitle.value) + (r.bigTitle.present ? "" : "  (default)"));
    row("Caption", Show(r.caption.value) + (r.caption.present ? "" : "  (default)"));
    for (int i = 0; i < 7; ++i) {
        const KeyValue& line = r.textLines[i];
        row("Text line " + std::to_string(i + 1),
            line.present ? Show(line.value) : "(empty: no " + line.key + ")");
    }
    const Bitmap& b = r.bitmap;
    std::string picture = Show(b.name) + ": ";
    if (!b.file.found || b.file.folder)
        picture += "not found, no picture";
    else if (!b.valid)
        picture += FileText(b.file) + ", not a bitmap, no picture";
    else
        picture += FileText(b.file) + ", " + std::to_string(b.width) + " x " + std::to_string(b.height) +
                   " pixels";
    row("Picture", picture);
    std::string folder = Show(r.proposedDir);
    if (!r.folderEnabled)
        folder += "  (disabled and empty: [Install] has no line)";
    else if (!r.proposalAccepted)
        folder += "  (REFUSED by the install button)";
    else if (r.installDir != r.proposedDir)
        folder += "  (stored as " + Show(r.installDir) + ")";
    row("Install folder", folder);
    row("Start Menu box", BoxText(r.startMenu));
    row("StartUp box", BoxText(r.startUp));

    out += "\nFiles to copy\n";
    for (const CopySection& section : r.copies) {
        std::string directory = section.directory.empty() ? "(no folder)" : Show(section.directory);
        out += "  [" + section.name + "] into " + directory +
               (section.overwrites ? ", an existing file is overwritten\n"
                                   : ", an existing file is never replaced\n");
        if (section.entries.empty())
            out += "    (no lines)\n";
        for (const CopyEntry& entry : section.entries) {
            out += "    " + Pad(LineLabel(entry.line), 9) + Show(entry.name) + "  " + FileText(entry.source) +
                   "\n             -> " + Show(entry.destination) + "\n";
        }
    }

    out += "\nShortcuts\n";
    const char* boxes[2] = {"Start Menu", "StartUp"};
    for (int k = 0; k < 2; ++k) {
        const ShortcutSection& section = r.shortcuts[k];
        out += "  [" + section.name + "] into " + Show(section.folder) + " (when the " + boxes[k] +
               " box is checked)\n";
        if (section.shortcuts.empty())
            out += "    (no lines)\n";
        for (const Shortcut& s : section.shortcuts) {
            out += "    " + Pad(LineLabel(s.line), 9);
            if (s.skipped) {
                out += Show(s.text) + "  SKIPPED: no '|'\n";
                continue;
            }
            out += Show(s.linkFile) + " -> " + Show(s.targetPath) +
                   (s.installed ? "  (installed)\n" : "  (NOT INSTALLED)\n");
        }
    }

    out += "\nFindings\n";
    if (r.findings.empty())
        out += "  none\n";
    for (const Finding& f : r.findings) {
        out += "  " + Pad(LineLabel(f.line) + ":", 10) + kSeverityNames[f.severity] + " [" + f.code + "] " +
               Show(f.message) + "\n";
    }

    out += "\nTotals: " + std::to_string(r.files) + " files (" + std::to_string(r.filesFound) + " found, " +
           std::to_string(r.bytes) + " bytes to copy), " + std::to_string(r.shortcutCount) +
           " shortcuts; " + std::to_string(r.errors) + " errors, " + std::to_string(r.warnings) +
           " warnings\n";
    out += ExitStatus(r) == 0 ? "Result: nothing would fail\n" : "Result: something would fail\n";
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
               SjisJson(f.message) + "}";
    }, "    ") + ",\n";
    out += "  \"totals\": {\"files\": " + std::to_string(r.files) + ", \"files_found\": " +
           std::to_string(r.filesFound) + ", \"bytes\": " + std::to_string(r.bytes) + ", \"shortcuts\": " +
           std::to_string(r.shortcutCount) + ", \"errors\": " + std::to_string(r.errors) +
           ", \"warnings\": " + std::to_string(r.warnings) + "},\n";
    out += "  \"exit_status\": " + std::to_string(ExitStatus(r)) + "\n}\n";
    return out;
}

std::string RenderNoScript(const std::string& medium, bool json)
{
    if (json) {
        return "{\n  \"medium\": " + Json(medium) + ",\n  \"error\": \"no readable setup.ini\",\n"
               "  \"exit_status\": 2\n}\n";
    }
    return "setupcheck: medium " + medium + "\nNo readable setup.ini: setup.exe would stop at once with "
           "its message that setup.ini cannot be opened.\n";
}
