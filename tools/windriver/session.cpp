#include "session.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

namespace driver {

const char kDefaultCaption[] = "セットアップ";
const char kCopyCaption[] = "インストール中...";
const char kCompletion[] = "インストールが完了しました";
const char kGroupFailure[] = "スタートメニューのグループの登録に失敗しました";
const char kCannotCopy[] = "コピーできませんでした：";

namespace {

// A whole install of a few thousand files, with its boxes, ends well
// within this.
const DWORD kWalkMs = 240000;

// Steps over one sz_Or_Ord field: an ordinal or a NUL-terminated UTF-16 text.
void SkipField(const WORD*& cursor)
{
    if (*cursor == 0xFFFF)
        cursor += 2;
    else
        cursor += lstrlenW(reinterpret_cast<const wchar_t*>(cursor)) + 1;
}

// The copy dialog as the user reads it: its caption, then the texts of its
// visible controls.
std::string View(HWND copy)
{
    std::string view = WindowText(copy);
    for (int id : {IDC_SOURCE_LABEL, IDC_SOURCE_PATH, IDC_DESTINATION_LABEL, IDC_DESTINATION_PATH,
                   IDC_DONE_MARK, IDC_STOP_BUTTON})
        if (IsControlVisible(copy, id))
            view += " | " + ControlText(copy, id);
    return view;
}

// The parts of the screen where the backdrop's title and ramp show past the
// centred settings dialog: the title band and both edges.
bool SameWhereBackdropShows(const Screenshot& a, const Screenshot& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if ((y < kTitleBand || x < 4 || x >= a.width - 4) && a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

bool MakeFolders(const std::string& path)
{
    if (path.size() <= 3)
        return true;  // a drive
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    if (!DirectoryExists(path)) {
        Fail("cannot make folder " + path);
        return false;
    }
    return true;
}

// When the copy dialog's stop button is pressed.
enum StopMoment { kNoMoment, kHeldStill, kMarkShown, kBoxClosed, kMarkBoxUp };

bool PressInstall(HWND settings) { return PressButton(settings, IDC_INSTALL_BUTTON); }
bool PressEscape(HWND settings) { return SendKey(Control(settings, IDC_INSTALL_BUTTON), VK_ESCAPE); }

// A click on the box itself: only the button toggles its own check.
bool Tick(HWND settings, int id, bool wanted)
{
    HWND box = wanted ? Control(settings, id) : nullptr;
    DWORD_PTR ignored;
    if (box != nullptr)
        SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (!wanted || CheckState(settings, id) == BST_CHECKED)
        return true;
    Fail("box " + std::to_string(id) + " did not take the tick");
    return false;
}

// Each cancel point, in the order of Cancel: what leaves the settings
// dialog, then when the copy dialog's stop button is pressed.
struct CancelPoint {
    bool (*leave)(HWND settings);
    int moment;
};
const CancelPoint kCancelPoints[] = {
    {PressInstall, kNoMoment}, {PressEscape, kNoMoment},  {PostClose, kNoMoment},
    {PressInstall, kHeldStill}, {PressInstall, kMarkShown}, {PressInstall, kBoxClosed},
    {PressInstall, kMarkBoxUp},
};

}  // namespace

bool ReadDialogTemplate(int id, DialogTemplate* dialog)
{
    HMODULE module = LoadLibraryExA(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module == nullptr ? nullptr
                                       : FindResourceExA(module, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                                         MAKEINTRESOURCEA(id),
                                                         MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    const DLGTEMPLATE* head = resource == nullptr ? nullptr
        : static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, resource)));
    if (head == nullptr) {
        Fail("no Japanese dialog " + std::to_string(id) + " in " + SetupExePath());
        return false;
    }
    dialog->style = head->style;
    const WORD* cursor = reinterpret_cast<const WORD*>(head + 1);
    SkipField(cursor);  // menu
    SkipField(cursor);  // class
    SkipField(cursor);  // caption
    ++cursor;           // point size
    SkipField(cursor);  // face
    for (int i = 0; i < head->cdit; ++i) {
        // Each item starts on a DWORD boundary.
        cursor = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(cursor) + 3) & ~UINT_PTR(3));
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(cursor);
        cursor = reinterpret_cast<const WORD*>(item + 1);
        SkipField(cursor);  // class
        SkipField(cursor);  // text
        dialog->items.push_back({item->id, item->style});
        WORD extra = *cursor++;  // creation data, in bytes
        cursor = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(cursor) + extra);
    }
    FreeLibrary(module);
    return true;
}

LinkFields ReadLink(const std::string& link)
{
    LinkFields fields;
    CoInitialize(nullptr);
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink))))
        return fields;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH * 2];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH * 2);
        fields.loaded = file->Load(wide, STGM_READ);
        file->Release();
    }
    char text[MAX_PATH * 2] = "";
    shellLink->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    fields.target = text;
    text[0] = '\0';
    shellLink->GetWorkingDirectory(text, sizeof text);
    fields.workingDirectory = text;
    text[0] = '\0';
    shellLink->GetDescription(text, sizeof text);
    fields.description = text;
    shellLink->Release();
    return fields;
}

std::string Describe(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return "<missing>";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        std::string text = "<folder";
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        std::vector<std::string> names;
        while (search != INVALID_HANDLE_VALUE) {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
            if (!FindNextFileA(search, &found))
                break;
        }
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            text += " " + name;
        return text + ">";
    }
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".lnk") == 0) {
        LinkFields link = ReadLink(path);
        return FAILED(link.loaded) ? "<link the shell cannot load>"
                                   : "<link " + link.target + " in " + link.workingDirectory +
                                         " : " + link.description + ">";
    }
    std::string bytes;
    if (!ReadFileBytes(path, &bytes))
        return "<unreadable>";
    std::string marks = (attributes & FILE_ATTRIBUTE_READONLY) ? "<read-only>" : "";
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        marks += "<hidden>";
    return marks + bytes;
}

std::string SettingsView(HWND settings)
{
    std::string view;
    for (int id : {IDC_TEXT_LINE1, IDC_TEXT_LINE2, IDC_TEXT_LINE3, IDC_TEXT_LINE4, IDC_TEXT_LINE5,
                   IDC_TEXT_LINE6, IDC_TEXT_LINE7})
        view += (id == IDC_TEXT_LINE1 ? "" : "|") + ControlText(settings, id);
    view += " / " + ControlText(settings, IDC_INSTALL_DIR) + " / ";
    RECT picture = {};
    GetWindowRect(Control(settings, IDC_PICTURE), &picture);
    if (IsControlVisible(settings, IDC_PICTURE))
        view += picture.right - picture.left > 20 ? "picture " : "small picture ";
    for (int id : {IDC_START_MENU_BOX, IDC_START_UP_BOX}) {
        view += IsControlEnabled(settings, id) ? "" : "~";
        view += id == IDC_START_MENU_BOX ? "menu" : "up";
        view += CheckState(settings, id) == BST_CHECKED ? "[x] " : "[ ] ";
    }
    int enabled = 0;
    for (int id : {IDC_INSTALL_DIR_LABEL, IDC_INSTALL_DIR, IDC_BROWSE_BUTTON, IDC_DEFAULT_BUTTON})
        enabled += IsControlEnabled(settings, id);
    return view + (enabled == 4 ? "folder" : enabled == 0 ? "~folder" : "folder?");
}

bool CaptureBackdrop(Screenshot* shot, int timeoutMs)
{
    Screenshot previous;
    for (DWORD start = GetTickCount(); GetTickCount() - start < DWORD(timeoutMs); Sleep(150)) {
        if (!CaptureScreen(shot))
            return false;
        if (shot->At(2, shot->height - 1) == 0x0000FF && SameWhereBackdropShows(*shot, previous))
            return true;
        previous = *shot;
    }
    Fail("the backdrop's ramp never reached the bottom row, or its title band never held still");
    return false;
}

HWND WaitForFolderBrowser(DWORD pid, int timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        for (HWND window = nullptr;
             (window = FindWindowExA(nullptr, window, kDialogClass, nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == pid && IsWindowVisible(window) &&
                FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr)
                return window;
        }
        Sleep(50);
    } while (GetTickCount() - start < static_cast<DWORD>(timeoutMs));
    Fail("no folder browser (a dialog with a tree view) appeared");
    return nullptr;
}

bool SelectFolder(HWND browser, DWORD pid, const std::string& path)
{
    HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    // The path goes to the browser in the setup process's own memory. A
    // freshly opened browser may still select its root after the first
    // request, so the request is repeated until the selection leaves it.
    void* remote = process == nullptr ? nullptr
        : VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    bool selected = false;
    for (int attempt = 0; remote != nullptr && tree != nullptr && attempt < 10 && !selected;
         ++attempt) {
        Sleep(200);
        DWORD_PTR result = 0;
        if (!WriteProcessMemory(process, remote, path.c_str(), path.size() + 1, nullptr) ||
            !SendMessageTimeoutA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote),
                                 SMTO_ABORTIFHUNG, 5000, &result))
            break;
        Sleep(200);
        LRESULT root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        LRESULT caret = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        selected = caret != 0 && caret != root;
    }
    if (remote != nullptr)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process != nullptr)
        CloseHandle(process);
    if (!selected)
        Fail("the folder browser did not select " + path);
    return selected;
}

// ---- Session -----------------------------------------------------------------

Session::Session()
{
    // The backdrop of an earlier run may still be going.
    DWORD start = GetTickCount();
    while (FindWindowOf(0, kBackdropClass, nullptr) != nullptr && GetTickCount() - start < 10000)
        Sleep(100);
}

Session::~Session()
{
    KillSetup(&setup);
    LetGo();
    for (const std::string& path : cleanUp_)
        RemoveTree(path);
}

std::string Session::Expand(const std::string& text) const
{
    const std::string places[][2] = {
        {"%M", medium},
        {"%I", installDir},
        {"%W", WindowsDirectory()},
        {"%S", SystemDirectory()},
        {"%P", ShellFolder(CSIDL_PROGRAMS)},
        {"%U", ShellFolder(CSIDL_STARTUP)},
        {"%D", WindowsDirectory().substr(0, 1) + ":\\"},
    };
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        const std::string* place = nullptr;
        for (const auto& pair : places)
            if (text.compare(i, 2, pair[0]) == 0)
                place = &pair[1];
        if (place == nullptr) {
            result += text[i];
        } else {
            result += *place;
            ++i;
        }
    }
    return result;
}

void Session::Clean(const std::string& path)
{
    for (const char* keep : {"%W", "%S", "%P", "%U", "%D", "%D\\"})
        if (path.empty() || _stricmp(path.c_str(), Expand(keep).c_str()) == 0)
            return;
    RemoveTree(path);
    cleanUp_.push_back(path);
}

bool Session::Lay(const std::string& base, const Entries& entries)
{
    std::string prefix = base.empty() ? "" : base + "\\";
    for (const Entry& entry : entries) {
        std::string path = prefix + Expand(entry.path);
        size_t slash = path.rfind('\\');
        if (!MakeFolders(path.substr(0, slash)))
            return false;
        if (slash + 1 < path.size() &&
            !WriteFileBytes(path.substr(0, slash), path.substr(slash + 1), entry.bytes))
            return false;
    }
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        std::string path = prefix + Expand(entry->path);
        if (entry->attributes & kHeldOpen) {
            held_.push_back(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        } else if (entry->attributes != 0) {
            if (path.back() == '\\')
                path.pop_back();
            SetFileAttributesA(path.c_str(), entry->attributes);
        }
    }
    return true;
}

std::string Session::Medium(const std::string& name, const std::string& script,
                            const Entries& entries, const std::string& at)
{
    bool given = !at.empty() && at[0] != '\\';
    std::string fresh = given ? "" : MakeMediumDir(name);
    if (!given && fresh.empty())
        return "";
    medium = fresh + at;
    std::string base = medium.back() == '\\' ? medium.substr(0, medium.size() - 1) : medium;
    Entries all = {{"setup.ini", script}};
    all.insert(all.end(), entries.begin(), entries.end());
    // In a folder not made for it, only what is laid there goes again.
    for (const Entry& entry : given ? all : Entries())
        Clean(base + "\\" + entry.path.substr(0, entry.path.find('\\')));
    return (given || MakeFolders(base)) && Lay(base, all) ? medium : "";
}

HWND Session::Open(const std::string& dir, const char* caption, int timeoutMs,
                   const std::string& exe)
{
    KillSetup(&setup);
    if (!StartSetup(dir, &setup, exe))
        return nullptr;
    return WaitForDialog(setup.pid, caption, timeoutMs);
}

bool Session::Install(HWND settings, const std::string& typed, bool startMenu, bool startUp,
                      Cancel when, const std::string& mark, Walk* walk)
{
    const CancelPoint& point = kCancelPoints[static_cast<int>(when)];
    installDir = Expand(typed);
    copy = nullptr;
    if (!SetControlText(settings, IDC_INSTALL_DIR, installDir) ||
        !Tick(settings, IDC_START_MENU_BOX, startMenu) || !Tick(settings, IDC_START_UP_BOX, startUp) ||
        !point.leave(settings))
        return false;
    if (point.leave != PressInstall)
        return Finish(walk);
    if (!FindCopyDialog())
        return false;
    if (point.moment == kHeldStill && !StopHeldStill(Expand(mark), walk))
        return false;
    return WalkCopyDialog(point.moment == kHeldStill ? kNoMoment : point.moment, mark, walk) &&
           Finish(walk);
}

bool Session::FindCopyDialog()
{
    // Looked for without a pause: the first step comes 50 ms after the
    // dialog opens.
    DWORD start = GetTickCount();
    while ((copy = FindWindowOf(setup.pid, kDialogClass, kCopyCaption)) == nullptr) {
        if (GetTickCount() - start > DWORD(kWaitMs) || !IsRunning(setup)) {
            HWND box = FindMessageBox(setup.pid);
            Fail(std::string("no copy dialog") +
                 (box ? " but the box \"" + ReadMessageBox(box).text + "\"" : ""));
            return false;
        }
        Sleep(0);
    }
    return true;
}

bool Session::StopHeldStill(const std::string& path, Walk* walk)
{
    // Held still, the program cannot take its first step while the driver
    // looks and queues the cancel.
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(copy, nullptr));
    if (thread != nullptr)
        SuspendThread(thread);
    walk->early = GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    bool pressed = PressButton(copy, IDC_STOP_BUTTON);
    if (thread != nullptr) {
        ResumeThread(thread);
        CloseHandle(thread);
    }
    return pressed;
}

bool Session::WalkCopyDialog(int moment, const std::string& mark, Walk* walk)
{
    // The stop button is pressed once, at its moment.
    auto stopAt = [&](int at, bool now) {
        if (moment == at && now && PressButton(copy, IDC_STOP_BUTTON))
            moment = kNoMoment;
    };
    HWND last = nullptr;
    DWORD start = GetTickCount();
    while (IsRunning(setup)) {
        if (GetTickCount() - start > kWalkMs) {
            Fail("the install did not end in time");
            return false;
        }
        std::string source = ControlText(copy, IDC_SOURCE_PATH);
        if (IsWindow(copy) && (walk->shown.empty() || walk->shown.back() != source))
            walk->shown.push_back(source);
        stopAt(kMarkShown, source.find(mark) != std::string::npos);
        HWND box = FindMessageBox(setup.pid);
        if (box == nullptr || box == last) {
            Sleep(2);
            continue;
        }
        last = box;
        MessageBoxText text = ReadMessageBox(box);
        walk->boxes.push_back(text.caption == kProgramCaption
                                  ? text.text
                                  : "<caption " + text.caption + "> " + text.text);
        walk->views.push_back(View(copy));
        walk->inputs += IsWindowEnabled(copy) ? '+' : '-';
        if (moment == kMarkBoxUp && text.text == mark) {
            stopAt(kMarkBoxUp, true);
            // The box may go with the program; if it stays, the user closes it.
            if (!WaitForWindowGone(box, 3000))
                PressMessageBoxOk(box);
            continue;
        }
        PressMessageBoxOk(box);
        WaitForWindowGone(box);
        stopAt(kBoxClosed, true);
    }
    return true;
}

void Session::LetGo()
{
    for (HANDLE file : held_)
        CloseHandle(file);
    held_.clear();
}

bool Session::Finish(Walk* walk)
{
    return WaitForExit(&setup, kWaitMs, &walk->exitCode);
}

}  // namespace driver
