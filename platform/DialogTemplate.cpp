#include "platform/DialogTemplate.h"

namespace platform {

namespace {
Resources g_resources;
}

void RegisterResources(const Resources& resources) { g_resources = resources; }

const DialogTemplate* FindDialogTemplate(int id) {
  for (const auto& dialog : g_resources.dialogs) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

const MenuTemplate* FindMenuTemplate(int id) {
  for (const auto& menu : g_resources.menus) {
    if (menu.id == id) return &menu;
  }
  return nullptr;
}

const char* const* ApplicationIconXpm() { return g_resources.iconXpm; }

}  // namespace platform
