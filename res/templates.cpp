// The tool's dialog templates and menu, in dialog units of the dialog font.
#include "res/templates.h"

#include "res/resource.h"

namespace res {

namespace {

using platform::DialogItem;
using platform::DialogTemplate;
using platform::MenuItem;
using platform::MenuItemKind;
using platform::MenuTemplate;
using enum platform::ItemKind;

constexpr DialogItem kMainItems[] = {
    {DefPushButton, IDC_PROGRAM, "Program", 7, 170, 50, 14},
    {PushButton, IDCANCEL, "Exit", 198, 170, 50, 14},
};

constexpr DialogItem kProgramItems[] = {
    {DefPushButton, IDC_START, "Start", 7, 25, 50, 14},
    {PushButton, IDCANCEL, "Done", 173, 25, 50, 14},
};

constexpr DialogItem kAboutItems[] = {
    {DefPushButton, IDOK, "OK", 110, 51, 50, 14},
    {Icon, -1, "", 6, 7, 21, 20},
    {CenteredText, IDC_ABOUT_TEXT, "", 38, 7, 114, 41},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_MAIN, "Universal Programmer", 0, 0, 255, 191, IDR_MAINMENU, kMainItems},
    {IDD_PROGRAM, "Program", 0, 0, 230, 165, 0, kProgramItems},
    {IDD_ABOUT, "Tervio - About", 0, 0, 167, 73, 0, kAboutItems},
};

constexpr MenuItem kMainMenuItems[] = {
    {MenuItemKind::Popup, "File", 0},
    {MenuItemKind::Command, "Open...", ID_FILE_OPEN_SETTINGS},
    {MenuItemKind::Separator, "", 0},
    {MenuItemKind::Command, "Save", ID_FILE_SAVE_SETTINGS},
    {MenuItemKind::Command, "Save As...", ID_FILE_SAVE_SETTINGS_AS},
    {MenuItemKind::Separator, "", 0},
    {MenuItemKind::Command, "Exit", IDCANCEL},
    {MenuItemKind::EndPopup, "", 0},
    {MenuItemKind::Command, "About", ID_ABOUT},
};

constexpr MenuTemplate kMenus[] = {
    {IDR_MAINMENU, kMainMenuItems},
};

#include "res/icon.xpm"

}  // namespace

platform::Resources ToolResources() { return {kDialogs, kMenus, application_icon_xpm}; }

}  // namespace res
