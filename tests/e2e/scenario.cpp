#include "scenario.h"

#include <shlobj.h>

#include <algorithm>

namespace scenario {

std::string DriveRoot()
{
    return driver::WindowsDirectory().substr(0, 1) + ":\\";
}

std::string Contents(const std::string& path)
{
    std::string bytes;
    return driver::ReadFileBytes(path, &bytes) ? bytes : "<missing " + path + ">";
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    size_t slash = path.rfind('\\');
    EXPECT_TRUE(driver::WriteFileBytes(path.substr(0, slash), path.substr(slash + 1), bytes))
        << driver::LastError();
}

std::vector<std::string> Listing(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void Remove(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    driver::RemoveTree(path);
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

namespace {

// One sz_Or_Ord field as Shift-JIS text, or "#n" for an ordinal.
std::string ReadField(const WORD*& cursor)
{
    if (*cursor == 0xFFFF) {
        std::string ordinal = "#" + std::to_string(cursor[1]);
        cursor += 2;
        return ordinal;
    }
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(cursor);
    int length = lstrlenW(wide);
    cursor += length + 1;
    char ansi[512] = "";
    WideCharToMultiByte(932, 0, wide, length, ansi, sizeof ansi - 1, nullptr, nullptr);
    return ansi;
}

std::string ClassName(const std::string& field)
{
    const char* names[] = {"BUTTON", "EDIT", "STATIC"};
    for (int atom = 0x80; atom <= 0x82; ++atom)
        if (field == "#" + std::to_string(atom))
            return names[atom - 0x80];
    return CharUpperA(std::string(field).data());
}

}  // namespace

bool ReadDialogTemplate(int id, DialogTemplate* dialog)
{
    HMODULE module = LoadLibraryExA(driver::SetupExePath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module == nullptr ? nullptr
                                       : FindResourceExA(module, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                                         MAKEINTRESOURCEA(id),
                                                         MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    const DLGTEMPLATE* head = resource == nullptr ? nullptr
        : static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, resource)));
    if (head == nullptr) {
        ADD_FAILURE() << "no Japanese dialog " << id << " in " << driver::ToUtf8(driver::SetupExePath());
        return false;
    }
    dialog->style = head->style;
    dialog->exStyle = head->dwExtendedStyle;
    dialog->cx = head->cx;
    dialog->cy = head->cy;
    const WORD* cursor = reinterpret_cast<const WORD*>(head + 1);
    dialog->menu = ReadField(cursor);
    dialog->windowClass = ReadField(cursor);
    dialog->caption = ReadField(cursor);
    dialog->pointSize = *cursor++;
    dialog->face = ReadField(cursor);
    for (int i = 0; i < head->cdit; ++i) {
        // Each item starts on a DWORD boundary.
        cursor = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(cursor) + 3) & ~UINT_PTR(3));
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(cursor);
        cursor = reinterpret_cast<const WORD*>(item + 1);
        std::string className = ClassName(ReadField(cursor));
        std::string text = ReadField(cursor);
        dialog->items.push_back({item->id, className, item->style, item->x, item->y, item->cx,
                                 item->cy, text, item->dwExtendedStyle});
        WORD extra = *cursor++;  // creation data, in bytes
        cursor = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(cursor) + extra);
    }
    FreeLibrary(module);
    return true;
}

void ExpectItems(const std::vector<TemplateItem>& expected, const std::vector<TemplateItem>& got)
{
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const TemplateItem& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(want.id));
        EXPECT_EQ(want.id, got[i].id);
        EXPECT_EQ(want.className, got[i].className);
        EXPECT_EQ(want.style, got[i].style);
        EXPECT_EQ(want.exStyle, got[i].exStyle);
        EXPECT_EQ(want.text, got[i].text);
        EXPECT_EQ(want.x, got[i].x);
        EXPECT_EQ(want.y, got[i].y);
        EXPECT_EQ(want.cx, got[i].cx);
        EXPECT_EQ(want.cy, got[i].cy);
    }
}

// The folder browser of the setup process: a dialog with a tree view.
HWND WaitForFolderBrowser(DWORD pid)
{
    DWORD start = GetTickCount();
    do {
        for (HWND window = nullptr;
             (window = FindWindowExA(nullptr, window, driver::kDialogClass, nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == pid && IsWindowVisible(window) &&
                FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr)
                return window;
        }
        Sleep(50);
    } while (GetTickCount() - start < static_cast<DWORD>(driver::kWaitMs));
    return nullptr;
}

void Scenario::SetUp()
{
    DWORD start = GetTickCount();
    while (driver::FindWindowOf(0, driver::kBackdropClass, nullptr) != nullptr) {
        ASSERT_LT(GetTickCount() - start, 10000u) << "a backdrop of an earlier run is still up";
        Sleep(100);
    }
    programs_ = driver::ShellFolder(CSIDL_PROGRAMS);
    startUp_ = driver::ShellFolder(CSIDL_STARTUP);
    windows_ = driver::WindowsDirectory();
    system_ = driver::SystemDirectory();
    ASSERT_FALSE(programs_.empty());
    ASSERT_FALSE(startUp_.empty());
}

void Scenario::TearDown()
{
    driver::KillSetup(&setup_);
    for (const std::string& path : cleanUp_)
        Remove(path);
}

std::string Scenario::Medium(const std::string& name, const std::string& script, const Files& files)
{
    std::string dir = driver::MakeMediumDir(name);
    EXPECT_FALSE(dir.empty()) << driver::LastError();
    EXPECT_TRUE(driver::WriteFileBytes(dir, "setup.ini", script)) << driver::LastError();
    for (const auto& file : files)
        WriteFile(dir + "\\" + file.first, file.second);
    return dir;
}

void Scenario::Clean(std::initializer_list<std::string> paths)
{
    for (const std::string& path : paths) {
        Remove(path);
        cleanUp_.push_back(path);
    }
}

HWND Scenario::Open(const std::string& dir, const char* caption, int timeoutMs)
{
    driver::KillSetup(&setup_);
    if (!driver::StartSetup(dir, &setup_, setupExe_)) {
        ADD_FAILURE() << driver::LastError();
        return nullptr;
    }
    HWND settings = driver::WaitForDialog(setup_.pid, caption, timeoutMs);
    if (settings == nullptr)
        ADD_FAILURE() << "settings dialog: " << driver::LastError();
    return settings;
}

void Scenario::Tick(HWND dialog, int id)
{
    HWND box = driver::Control(dialog, id);
    ASSERT_NE(box, nullptr) << driver::LastError();
    DWORD_PTR ignored;
    SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ASSERT_EQ(BST_CHECKED, driver::CheckState(dialog, id)) << "box " << id;
}

HWND Scenario::Confirm(HWND settings, const std::string& installDir, bool startMenu, bool startUp)
{
    if (!driver::SetControlText(settings, IDC_INSTALL_DIR, installDir)) {
        ADD_FAILURE() << driver::LastError();
        return nullptr;
    }
    if (startMenu)
        Tick(settings, IDC_START_MENU_BOX);
    if (startUp)
        Tick(settings, IDC_START_UP_BOX);
    if (!driver::PressButton(settings, IDC_INSTALL_BUTTON)) {
        ADD_FAILURE() << driver::LastError();
        return nullptr;
    }
    copy_ = driver::WaitForDialog(setup_.pid, kCopyCaption);
    if (copy_ == nullptr)
        ADD_FAILURE() << driver::LastError();
    return copy_;
}

HWND Scenario::StartInstall(const std::string& dir, const char* caption,
                            const std::string& installDir, bool startMenu, bool startUp)
{
    HWND settings = Open(dir, caption);
    return settings == nullptr ? nullptr : Confirm(settings, installDir, startMenu, startUp);
}

std::vector<std::string> Scenario::RunToCompletion(HWND* completion, int waitMs)
{
    std::vector<std::string> warnings;
    for (;;) {
        HWND box = driver::WaitForMessageBox(setup_.pid, waitMs);
        if (box == nullptr) {
            ADD_FAILURE() << driver::LastError();
            return warnings;
        }
        driver::MessageBoxText text = driver::ReadMessageBox(box);
        EXPECT_EQ(driver::kProgramCaption, text.caption);
        bool done = text.text == kCompletion;
        if (done && completion != nullptr) {
            *completion = box;
            return warnings;
        }
        if (!done && copy_ != nullptr)
            fieldsAtWarnings_.push_back({driver::ControlText(copy_, IDC_SOURCE_PATH),
                                         driver::ControlText(copy_, IDC_DESTINATION_PATH)});
        EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
        EXPECT_TRUE(driver::WaitForWindowGone(box)) << driver::LastError();
        if (done)
            return warnings;
        warnings.push_back(text.text);
    }
}

HWND Scenario::Box()
{
    HWND box = driver::WaitForMessageBox(setup_.pid);
    if (box == nullptr)
        ADD_FAILURE() << driver::LastError();
    return box;
}

void Scenario::CloseIfStillUp(HWND box)
{
    // The box may go with the program; if it stays, the user closes it.
    if (!driver::WaitForWindowGone(box, 3000)) {
        EXPECT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    }
}

void ExpectExit(driver::Setup* setup, DWORD code)
{
    DWORD got = 99;
    ASSERT_TRUE(driver::WaitForExit(setup, kExitWaitMs, &got)) << driver::LastError();
    EXPECT_EQ(code, got);
}

void Scenario::ExpectExitZero()
{
    ExpectExit(&setup_, 0);
}

void Scenario::PressAndExpectExitZero(HWND dialog, int id)
{
    ASSERT_TRUE(driver::PressButton(dialog, id)) << driver::LastError();
    ExpectExitZero();
}

}  // namespace scenario
