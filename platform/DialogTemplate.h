// Dialog templates and menus as data: the shapes that the application registers and CDialog
// builds windows from. Positions and sizes of templates are dialog units of the dialog's font.
#pragma once

#include <span>

#include "platform/WinTypes.h"  // the standard ids (IDOK, IDCANCEL) that templates name

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

// What the application hands the layer at start: its dialog templates, menus and icon. The
// tables must outlive every dialog; the layer keeps only the spans.
struct Resources {
  std::span<const DialogTemplate> dialogs;
  std::span<const MenuTemplate> menus;
  const char* const* iconXpm = nullptr;  // the application icon as XPM data, or null
};

// Makes the given tables the ones that dialogs are built from, replacing any registered before.
void RegisterResources(const Resources& resources);

// The registered template of that id; null when there is none (or nothing is registered).
const DialogTemplate* FindDialogTemplate(int id);
const MenuTemplate* FindMenuTemplate(int id);

// The registered application icon as XPM data; null when there is none.
const char* const* ApplicationIconXpm();

}  // namespace platform
