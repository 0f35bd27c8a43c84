// Nothing on the medium is trusted: DLLs planted beside setup.exe, a .local
// folder, read-only media and destinations that cannot be written. Every run
// ends normally and nothing of the user's is lost.
#include <cstdio>
#include <string>
#include <vector>

#include "scenario.h"

namespace {

using namespace scenario;

const DWORD kCarriedOver = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

// Names that Windows would look for beside the program before the system
// directory, and that the shell, COM and the common controls load. Left
// out: version.dll, which Wine's own user32 imports, so that Wine loads a
// planted one before the first instruction of any program.
const char* const kPlantedNames[] = {
    "comctl32", "uxtheme", "dwmapi", "cryptbase", "propsys", "apphelp", "userenv", "oleacc",
    "clbcatq", "ntmarta", "profapi", "setupapi", "sspicli", "cryptsp", "rsaenh", "shfolder",
};

std::string OwnFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self = path;
    return self.substr(0, self.rfind('\\'));
}

// The medium's own setup.exe, so that the medium is the program's folder.
std::string PutSetupOn(const std::string& medium)
{
    std::string exe = medium + "\\setup.exe";
    EXPECT_TRUE(CopyFileA(driver::SetupExePath().c_str(), exe.c_str(), FALSE)) << GetLastError();
    return exe;
}

// Windows' search order for these names: the program's folder first. Wine
// prefers its built-in DLLs unless told otherwise, and takes the telling
// from the registry for a program of that name (a changed WINEDLLOVERRIDES
// does not reach a program started from within Wine).
class PlantedOverrides {
public:
    PlantedOverrides()
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                        nullptr);
        for (const char* name : kPlantedNames)
            RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"),
                           sizeof "native,builtin");
    }
    ~PlantedOverrides()
    {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    }

private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";
    HKEY key_ = nullptr;
};

bool CarriesOver(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & kCarriedOver) != 0;
}

class UntrustedMedium : public Scenario {};

TEST_F(UntrustedMedium, PlantedDllsAreNeverLoaded)
{
    std::string installDir = "C:\\pelmora-e2e-planted";
    std::string group = programs_ + "\\pelmora-e2e-planted";
    Clean({installDir, group, startUp_ + "\\pelmora-e2e-planted.lnk"});
    std::string medium = Medium("untrusted-planted",
                                "[init]\r\nStartMenuGroup=pelmora-e2e-planted\r\n"
                                "[Install]\r\napp.exe\r\n[StarMenuSet]\r\nApp|app.exe\r\n"
                                "[StartUpSet]\r\npelmora-e2e-planted|app.exe\r\n",
                                {{"app.exe", "app"}});
    for (const char* name : kPlantedNames)
        ASSERT_TRUE(CopyFileA((OwnFolder() + "\\planted_dll.dll").c_str(),
                              (medium + "\\" + name + ".dll").c_str(), FALSE))
            << name << ": " << GetLastError();
    setupExe_ = PutSetupOn(medium);

    PlantedOverrides overrides;
    HWND settings = Open(medium);
    ASSERT_NE(nullptr, settings);
    ASSERT_TRUE(driver::PressButton(settings, IDC_BROWSE_BUTTON)) << driver::LastError();
    HWND browser = WaitForFolderBrowser(setup_.pid);
    ASSERT_NE(nullptr, browser) << "no folder browser";
    ASSERT_TRUE(driver::PressButton(browser, IDCANCEL)) << driver::LastError();
    ASSERT_TRUE(driver::WaitForWindowGone(browser)) << driver::LastError();
    ASSERT_NE(nullptr, Confirm(settings, installDir, true, true));
    EXPECT_EQ(std::vector<std::string>{}, RunToCompletion());
    ExpectExitZero();

    EXPECT_EQ("app", Contents(installDir + "\\app.exe"));
    EXPECT_EQ(S_OK, ReadLink(group + "\\App.lnk").loaded);
    EXPECT_EQ(S_OK, ReadLink(startUp_ + "\\pelmora-e2e-planted.lnk").loaded);
    for (const std::string& name : Listing(medium))
        EXPECT_EQ(std::string::npos, name.find(".loaded")) << "setup.exe loaded the planted " << name;
}

TEST_F(UntrustedMedium, DotLocalFolderBesideSetupIsRefused)
{
    std::string medium = Medium("untrusted-dotlocal", "[init]\r\nTitle=local\r\n");
    setupExe_ = PutSetupOn(medium);
    ASSERT_TRUE(CreateDirectoryA((medium + "\\setup.exe.local").c_str(), nullptr));
    ASSERT_TRUE(driver::StartSetup(medium, &setup_, setupExe_)) << driver::LastError();
    HWND box = Box();
    ASSERT_NE(nullptr, box);
    driver::MessageBoxText text = driver::ReadMessageBox(box);
    EXPECT_EQ("setup.exe.localがあるため起動できません", text.text);
    EXPECT_EQ(driver::kProgramCaption, text.caption);
    EXPECT_EQ(nullptr, driver::FindWindowOf(setup_.pid, driver::kBackdropClass, nullptr));
    ASSERT_TRUE(driver::PressMessageBoxOk(box)) << driver::LastError();
    ExpectExit(&setup_, 3);
}

class ReadOnly : public Scenario {
protected:
    // Files and folder read-only, as on a CD-ROM; one file hidden as well.
    std::string Disc(const std::string& name, const std::string& version)
    {
        std::string medium = Medium(name,
                                    "[Install]\r\na.txt\r\nb.txt\r\n"
                                    "[InstallWindows]\r\npelmora-e2e-ro.ini\r\n"
                                    "[InstallSystem]\r\npelmora-e2e-ro.dll\r\n",
                                    {{"a.txt", "a " + version},
                                     {"b.txt", "b " + version},
                                     {"pelmora-e2e-ro.ini", "ini " + version},
                                     {"pelmora-e2e-ro.dll", "dll " + version}});
        for (const char* file : {"setup.ini", "b.txt", "pelmora-e2e-ro.ini", "pelmora-e2e-ro.dll"})
            SetFileAttributesA((medium + "\\" + file).c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA((medium + "\\a.txt").c_str(), kCarriedOver);
        SetFileAttributesA(medium.c_str(), FILE_ATTRIBUTE_READONLY);
        return medium;
    }
};

TEST_F(ReadOnly, DiscInstalledTwiceOverwritesItsOwnCopies)
{
    std::string installDir = "C:\\pelmora-e2e-ro";
    std::string ini = windows_ + "\\pelmora-e2e-ro.ini";
    std::string dll = system_ + "\\pelmora-e2e-ro.dll";
    Clean({installDir, ini, dll});
    for (const char* version : {"1.0", "1.1"}) {
        SCOPED_TRACE(version);
        std::string medium = Disc(std::string("readonly-disc-") + version, version);
        ASSERT_NE(nullptr, StartInstall(medium, nullptr, installDir));
        EXPECT_EQ(std::vector<std::string>{}, RunToCompletion());
        ExpectExitZero();
        EXPECT_EQ(std::string("a ") + version, Contents(installDir + "\\a.txt"));
        EXPECT_EQ(std::string("b ") + version, Contents(installDir + "\\b.txt"));
        // The Windows and system folders keep the first copy.
        EXPECT_EQ("ini 1.0", Contents(ini));
        EXPECT_EQ("dll 1.0", Contents(dll));
        for (const std::string& copy : {installDir + "\\a.txt", installDir + "\\b.txt", ini, dll})
            EXPECT_FALSE(CarriesOver(copy)) << driver::ToUtf8(copy) << " kept the medium's attributes";
    }
}

// Destinations that another hand has locked: a file that cannot be written
// is reported and stays as it was, the rest is installed, the run ends
// normally. A read-only folder, as on Windows, still takes new files.
TEST_F(ReadOnly, LockedDestinationsAreReportedAndKept)
{
    struct Case {
        const char* name;
        // Locks the folder or `kept`; false where this user may write anyway
        // (root on Unix), and the case is skipped.
        bool (*lock)(const std::string& folder, const std::string& kept, HANDLE* held);
        bool keptRefused;
    };
    const Case cases[] = {
        {"a read-only file that setup did not put there",
         [](const std::string&, const std::string& kept, HANDLE*) {
             SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY);
             HANDLE probe = CreateFileA(kept.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             if (probe == INVALID_HANDLE_VALUE)
                 return true;
             CloseHandle(probe);
             return false;
         },
         true},
        {"a file another program holds open",
         [](const std::string&, const std::string& kept, HANDLE* held) {
             *held = CreateFileA(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             return *held != INVALID_HANDLE_VALUE;
         },
         true},
        {"a read-only install folder",
         [](const std::string& folder, const std::string&, HANDLE*) {
             return SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
         },
         false},
    };
    std::string folder = "C:\\pelmora-e2e-locked";
    std::string medium = Medium("readonly-locked", "[Install]\r\nkept.txt\r\nother.txt\r\n",
                                {{"kept.txt", "from the medium"}, {"other.txt", "other"}});
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Clean({folder});
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        std::string kept = folder + "\\kept.txt";
        WriteFile(kept, "the user's");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (!test.lock(folder, kept, &held)) {
            std::printf("[ SKIPPED  ] %s: this user may write it anyway\n", test.name);
            continue;
        }
        ASSERT_NE(nullptr, StartInstall(medium, nullptr, folder));
        std::vector<std::string> warnings;
        if (test.keptRefused)
            warnings.push_back(kCannotCopy + medium + "\\kept.txt -> " + kept);
        EXPECT_EQ(warnings, RunToCompletion());
        ExpectExitZero();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(test.keptRefused ? "the user's" : "from the medium", Contents(kept));
        EXPECT_EQ("other", Contents(folder + "\\other.txt"));
    }
}

}  // namespace
