// Dialog templates and menus as data: the shapes that res/ describes and CDialog builds windows
// from. Positions and sizes of templates are dialog units of the dialog's font.
#pragma once

#include <span>

namespace platform {

enum class ItemKind {
  DefPushButton,  // the default push button: Enter presses it
  PushButton,
  Icon,          // shows the application icon
  CenteredText,  // static text, centred, broken at line feeds
};

struct DialogItem {
  ItemKind kind;
  int id;
  const char* text;
  int x, y, cx, cy;
};

struct DialogTemplate {
  int id;
  const char* caption;
  int x, y, cx, cy;  // cx and cy are the client area's size
  int menuId;        // 0 for none
  std::span<const DialogItem> items;
};

enum class MenuItemKind {
  Popup,  // opens a sub-menu holding the entries up to the matching EndPopup
  EndPopup,
  Command,  // sends its id as a command
  Separator,
};

struct MenuItem {
  MenuItemKind kind;
  const char* text;
  int id;
};

struct MenuTemplate {
  int id;
  std::span<const MenuItem> items;
};

// Provided by res/: the templates of the tool, by id; null when there is none.
const DialogTemplate* FindDialogTemplate(int id);
const MenuTemplate* FindMenuTemplate(int id);

// Provided by res/: the application icon as XPM data.
const char* const* ApplicationIconXpm();

}  // namespace platform
