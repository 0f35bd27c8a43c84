// Resource and control ids, shared by the resource scripts, the program and
// the tests that drive its windows.
#pragma once

#define IDD_SETTINGS            102
#define IDI_SETUP               103
#define IDD_COPY                104

// Backdrop command that opens the settings dialog.
#define IDM_OPEN_SETTINGS       12

// Settings dialog (102).
#define IDC_INSTALL_BUTTON      1       // IDOK
#define IDC_CANCEL_BUTTON       2       // IDCANCEL
#define IDC_INSTALL_DIR         1003
#define IDC_PICTURE             1004
#define IDC_TEXT_LINE1          1005
#define IDC_TEXT_LINE2          1006
#define IDC_TEXT_LINE3          1007
#define IDC_TEXT_LINE4          1008
#define IDC_TEXT_LINE5          1009
#define IDC_TEXT_LINE6          1010
#define IDC_START_MENU_BOX      1011
#define IDC_TEXT_LINE7          1012
#define IDC_START_UP_BOX        1013
#define IDC_BROWSE_BUTTON       1014
#define IDC_DEFAULT_BUTTON      1016
#define IDC_INSTALL_DIR_LABEL   1017

// Copy-progress dialog (104).
#define IDC_STOP_BUTTON         2       // IDCANCEL: "中止(&S)", later "終了(&E)"
#define IDC_SOURCE_PATH         1003
#define IDC_DESTINATION_PATH    1012
#define IDC_SOURCE_LABEL        1018
#define IDC_DESTINATION_LABEL   1019
#define IDC_DONE_MARK           1020
