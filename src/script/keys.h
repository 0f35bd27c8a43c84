// The sections and keys of setup.ini that the program reads. Names are
// compared by their leading ASCII letters only (see MatchName).
#pragma once

// Keyed section.
#define SECTION_INIT            "init"
#define KEY_BIG_TITLE           "BigTitle"          // backdrop title, 128-byte buffer
#define KEY_TITLE               "Title"             // settings dialog caption
#define KEY_FIRST_MESSAGE       "msga"              // msga..msgg: the text lines
#define KEY_IMAGE               "Img"               // bitmap beside the text
#define KEY_DEFAULT_START_MENU  "DefaultRegistStartMenu"
#define KEY_DEFAULT_START_UP    "DefaultRegistStartUp"
#define KEY_COPY_DIR            "CopyDir"           // folder name of the proposal
#define KEY_START_MENU_GROUP    "StartMenuGroup"    // folder under Programs

// The text lines of the settings dialog, one key each from msga on.
const int kTextLineCount = 7;

// List sections. "StarMenuSet" has no "t" after "Star": scripts in the field
// are written that way, and "StartMenuSet" is a different section.
#define SECTION_INSTALL         "Install"
#define SECTION_INSTALL_WINDOWS "InstallWindows"
#define SECTION_INSTALL_SYSTEM  "InstallSystem"
#define SECTION_START_MENU_SET  "StarMenuSet"
#define SECTION_START_UP_SET    "StartUpSet"

// Defaults for absent or empty values.
#define DEFAULT_BIG_TITLE       "Setup Program"
#define DEFAULT_IMAGE           "setup.bmp"
#define DEFAULT_FOLDER_NAME     "Pelmora"
