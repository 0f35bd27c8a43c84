// The two dialog templates, read from setup.exe itself: what behaviour
// depends on, not the layout. The controls stand in tab order (the first
// takes the focus) with the ids the program and the driver use, each with
// the style bits its part needs; only the done mark starts hidden.
#include <gtest/gtest.h>

#include "session.h"

namespace {

TEST(Templates, ControlsInTabOrderWithTheStylesTheyNeed)
{
    using Items = std::vector<std::pair<int, DWORD>>;  // id, bits that must be set
    const Items settings = {
        {IDC_INSTALL_BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP}, {IDC_CANCEL_BUTTON, WS_TABSTOP},
        {IDC_PICTURE, SS_BITMAP}, {IDC_TEXT_LINE1, 0}, {IDC_INSTALL_DIR, ES_AUTOHSCROLL | WS_TABSTOP},
        {IDC_TEXT_LINE2, 0}, {IDC_TEXT_LINE3, 0}, {IDC_TEXT_LINE4, 0}, {IDC_TEXT_LINE5, 0},
        {IDC_INSTALL_DIR_LABEL, 0}, {0xFFFF, 0}, {IDC_START_MENU_BOX, BS_AUTOCHECKBOX | WS_TABSTOP},
        {IDC_TEXT_LINE6, 0}, {IDC_TEXT_LINE7, 0}, {0xFFFF, BS_GROUPBOX},
        {IDC_START_UP_BOX, BS_AUTOCHECKBOX | WS_TABSTOP}, {IDC_BROWSE_BUTTON, WS_TABSTOP},
        {IDC_DEFAULT_BUTTON, WS_TABSTOP}};
    const Items copy = {
        {IDC_STOP_BUTTON, WS_TABSTOP}, {IDC_SOURCE_LABEL, 0}, {IDC_DESTINATION_LABEL, 0},
        {IDC_SOURCE_PATH, ES_READONLY}, {IDC_DESTINATION_PATH, ES_READONLY}, {IDC_DONE_MARK, 0}};
    const std::pair<int, const Items*> dialogs[] = {{IDD_SETTINGS, &settings}, {IDD_COPY, &copy}};
    // A close box that cancels; centred, below the backdrop's title band.
    const DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    for (const auto& [id, items] : dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        driver::DialogTemplate dialog;
        ASSERT_TRUE(driver::ReadDialogTemplate(id, &dialog)) << driver::LastError();
        EXPECT_EQ(kFrame, dialog.style & kFrame);
        ASSERT_EQ(items->size(), dialog.items.size());
        for (size_t n = 0; n < items->size(); ++n) {
            const driver::TemplateItem& item = dialog.items[n];
            EXPECT_EQ((*items)[n].first, item.id) << "control " << n;
            EXPECT_EQ((*items)[n].second, item.style & (*items)[n].second) << item.id;
            EXPECT_EQ(id == IDD_COPY && item.id == IDC_DONE_MARK, !(item.style & WS_VISIBLE)) << item.id;
        }
    }
}

}  // namespace
