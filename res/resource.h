// Every id of the tool's dialogs, menu, controls and icon, grouped by range.
#pragma once

// Dialog templates, menu and icon.
constexpr int IDD_MAIN = 101;
constexpr int IDR_MAINMENU = 102;
constexpr int IDD_PROGRAM = 103;
constexpr int IDI_APPLICATION_ICON = 112;
constexpr int IDD_ABOUT = 114;

// Controls. Ids 1 and 2 are the platform's OK and Cancel (IDOK, IDCANCEL).
constexpr int IDC_SETTING_EDIT = 100;  // shared by every setting's edit box
constexpr int IDC_PROGRESS = 1005;
constexpr int IDC_PROGRAM = 1007;
constexpr int IDC_START = 1011;
constexpr int IDC_ABOUT_TEXT = 1023;
constexpr int IDC_STATIC = 0xFFFF;  // static controls that nothing addresses

// Menu commands.
constexpr int ID_FILE_OPEN_SETTINGS = 40005;
constexpr int ID_FILE_SAVE_SETTINGS = 40006;
constexpr int ID_FILE_SAVE_SETTINGS_AS = 40007;
constexpr int ID_ABOUT = 40008;
// Not on the menu: opens the saved-settings file named on the command line, once the main dialog
// is on screen.
constexpr int ID_FILE_OPEN_START_SETTINGS = 40009;
