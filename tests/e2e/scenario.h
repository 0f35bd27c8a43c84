// What the end-to-end scenarios share: a medium with its script, one
// setup.exe walked from the settings dialog through the copy dialog and its
// boxes, shortcuts and dialog templates read back, and the removal of what a
// run leaves in folders shared with other scenarios.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "resource.h"

namespace scenario {

const char kDefaultCaption[] = "セットアップ";
const char kCopyCaption[] = "インストール中...";
const char kCompletion[] = "インストールが完了しました";
const char kGroupFailure[] = "スタートメニューのグループの登録に失敗しました";
const char kCannotCopy[] = "コピーできませんでした：";
const char kFinishButton[] = "終了(&E)";
const int kExitWaitMs = 20000;

// Files of a medium beside setup.ini: name and bytes.
using Files = std::vector<std::pair<std::string, std::string>>;

// Drive root of the Windows directory, as the program proposes it.
std::string DriveRoot();
// A whole file, or "<missing PATH>".
std::string Contents(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Names in a folder, "." and ".." left out, sorted.
std::vector<std::string> Listing(const std::string& dir);
// Removes a file or a tree whose root itself may be read-only.
void Remove(const std::string& path);

// The folder browser of process pid: a dialog with a tree view; null after
// the usual wait.
HWND WaitForFolderBrowser(DWORD pid);

// Waits for the program to end and checks its exit code.
void ExpectExit(driver::Setup* setup, DWORD code);

// A shortcut loaded through the shell's own link object.
struct LinkFields {
    HRESULT loaded = E_FAIL;
    std::string target;
    std::string workingDirectory;
    std::string description;
};
LinkFields ReadLink(const std::string& link);

// A dialog template of setup.exe's Japanese resources; ordinals of class
// and text read "#n", the predefined classes by name.
struct TemplateItem {
    int id;
    std::string className;
    DWORD style;
    int x, y, cx, cy;
    std::string text;
    DWORD exStyle = 0;
};
struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    int cx = 0, cy = 0, pointSize = 0;
    std::string menu, windowClass, caption, face;
    std::vector<TemplateItem> items;
};
bool ReadDialogTemplate(int id, DialogTemplate* dialog);
// Compares every field of the items, in order.
void ExpectItems(const std::vector<TemplateItem>& expected, const std::vector<TemplateItem>& got);

// One setup.exe per scenario, walked as a user would.
class Scenario : public testing::Test {
protected:
    // Waits out the backdrop of an earlier run.
    void SetUp() override;
    // Ends a setup.exe left running, then removes what Clean() was given.
    void TearDown() override;

    // A fresh medium whose setup.ini holds exactly these bytes.
    std::string Medium(const std::string& name, const std::string& script, const Files& files = {});
    // Removes these paths now and again when the scenario ends.
    void Clean(std::initializer_list<std::string> paths);

    // Starts setup.exe in dir and waits for the settings dialog; a null
    // caption accepts any.
    HWND Open(const std::string& dir, const char* caption = kDefaultCaption,
              int timeoutMs = driver::kWaitMs);
    // Ticks a box as a click would, and checks that it took.
    void Tick(HWND dialog, int id);
    // Types the folder, ticks the boxes asked for and presses install; the
    // copy dialog, or null.
    HWND Confirm(HWND settings, const std::string& installDir, bool startMenu = false,
                 bool startUp = false);
    // Open, then Confirm.
    HWND StartInstall(const std::string& dir, const char* caption, const std::string& installDir,
                      bool startMenu = false, bool startUp = false);
    // Closes every warning until the completion box and returns them in
    // order. The completion box is closed too unless `completion` takes it.
    // The copy dialog's two fields under each warning go to fieldsAtWarnings_.
    std::vector<std::string> RunToCompletion(HWND* completion = nullptr,
                                             int waitMs = driver::kWaitMs);
    // The next message box of the program, or null with a failure.
    HWND Box();
    // Closes a box that outlived the program's cancel.
    void CloseIfStillUp(HWND box);
    void ExpectExitZero();
    void PressAndExpectExitZero(HWND dialog, int id = IDC_CANCEL_BUTTON);

    driver::ScopedSetup setup_;
    std::string setupExe_;  // the setup.exe that Open starts; empty: the one built
    HWND copy_ = nullptr;
    std::vector<std::vector<std::string>> fieldsAtWarnings_;
    std::string programs_;
    std::string startUp_;
    std::string windows_;
    std::string system_;

private:
    std::vector<std::string> cleanUp_;
};

}  // namespace scenario
