// A dialog's modal run: a layer of the page built from the template, over the dialogs below it,
// and a modal loop that dispatches the page's commands until the dialog is ended. The layer goes
// with the run, and the focus back to the window under it.
#include "platform/CDialog.h"

#include <string_view>
#include <vector>

#include "platform/Backend.h"
#include "platform/DialogTemplate.h"
#include "platform/DialogUnits.h"
#include "platform/web/Icon.h"
#include "platform/web/Page.h"
#include "platform/web/PageText.h"
#include "platform/web/PageWindows.h"
#include "platform/web/Pump.h"

namespace {

// A control that the template created: the dialog's layer holds its element.
class TemplateItem : public CWnd {
 public:
  TemplateItem(int handle, int id) { platform::web::Attach(*this, handle, id); }
};

PageControlKind KindOf(platform::ItemKind kind) {
  switch (kind) {
    case platform::ItemKind::DefPushButton:
      return kPageDefPushButton;
    case platform::ItemKind::PushButton:
      return kPagePushButton;
    case platform::ItemKind::Icon:
      return kPageIcon;
    case platform::ItemKind::CenteredText:
      break;
  }
  return kPageCenteredText;
}

// One level of popups, as the tool's menu has; a popup inside a popup adds its items to the
// outer one.
void BuildMenu(int dialog, const platform::MenuTemplate& menu) {
  std::vector<int> open;  // the popups being filled, innermost last
  for (const auto& item : menu.items) {
    const std::string_view text(item.text ? item.text : "");
    const int length = static_cast<int>(text.size());
    const int popup = open.empty() ? 0 : open.back();
    switch (item.kind) {
      case platform::MenuItemKind::Popup:
        open.push_back(popup == 0 ? up_menu_add(dialog, 0, kPageMenuPopup, text.data(), length, 0)
                                  : popup);
        break;
      case platform::MenuItemKind::EndPopup:
        if (!open.empty()) open.pop_back();
        break;
      case platform::MenuItemKind::Separator:
        if (popup != 0) up_menu_add(dialog, popup, kPageMenuSeparator, "", 0, 0);
        break;
      case platform::MenuItemKind::Command:
        up_menu_add(dialog, popup, kPageMenuCommand, text.data(), length, item.id);
        break;
    }
  }
}

class WebModalRun : public platform::backend::ModalRun {
 public:
  explicit WebModalRun(CDialog& dialog) : m_dialog(dialog) {}
  ~WebModalRun() override {
    m_templateItems.clear();
    platform::web::DestroyWindowOf(m_dialog);
  }

  int Run(const platform::DialogTemplate& dialogTemplate, CWnd* owner, bool isMainWindow) override {
    BuildWindow(dialogTemplate, owner, isMainWindow);
    platform::InitializeDialog(m_dialog, *this);
    up_dialog_show(platform::web::HandleOf(m_dialog));
    platform::web::RunModalLoop([this] { return m_ended; });
    return m_result;
  }

  void End(int result) override {
    m_result = result;
    m_ended = true;
  }

  void GrowToFitTexts() override { up_grow_to_fit_texts(platform::web::HandleOf(m_dialog)); }
  void FocusFirstTabStop() override { up_focus_first_tab_stop(platform::web::HandleOf(m_dialog)); }

 private:
  void BuildWindow(const platform::DialogTemplate& dialogTemplate, CWnd* owner, bool isMainWindow);

  CDialog& m_dialog;
  std::vector<std::unique_ptr<CWnd>> m_templateItems;
  bool m_ended = false;
  int m_result = 0;
};

void WebModalRun::BuildWindow(const platform::DialogTemplate& dialogTemplate, CWnd* owner,
                              bool isMainWindow) {
  const platform::web::PageText caption =
      platform::web::ToPage(dialogTemplate.caption ? dialogTemplate.caption : "");
  const int window = up_dialog_create(platform::web::HandleOf(owner), isMainWindow ? 1 : 0,
                                      caption.data, caption.length, caption.encoding);
  platform::web::Attach(m_dialog, window, dialogTemplate.id);
  platform::web::SetCommandSink(window, [this](int id) { m_dialog.SendCommand(id); });
  platform::web::SetPainter(window, [this] { m_dialog.SendPaint(); });
  if (const auto* menu = platform::FindMenuTemplate(dialogTemplate.menuId)) {
    BuildMenu(window, *menu);
  }

  platform::DialogBaseUnits units{};
  up_base_units(&units.averageCharWidth, &units.charHeight);
  const RECT size = platform::DialogUnitsToPixels(units, dialogTemplate.x, dialogTemplate.y,
                                                  dialogTemplate.cx, dialogTemplate.cy);
  up_dialog_set_client_size(window, size.right - size.left, size.bottom - size.top);

  for (const auto& item : dialogTemplate.items) {
    const RECT rect = platform::DialogUnitsToPixels(units, item.x, item.y, item.cx, item.cy);
    const PageControlKind kind = KindOf(item.kind);
    // Push buttons are tab stops, as the template's buttons are by default.
    int flags = kPageVisible;
    if (kind == kPageDefPushButton || kind == kPagePushButton) flags |= kPageTabStop;
    const platform::web::PageText text = platform::web::ToPage(item.text ? item.text : "");
    const int control =
        up_control_create(window, kind, item.id, flags, text.data, text.length, text.encoding);
    up_window_move(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (kind == kPageIcon) platform::web::ShowApplicationIcon(control);
    m_templateItems.push_back(std::make_unique<TemplateItem>(control, item.id));
  }
}

}  // namespace

std::unique_ptr<platform::backend::ModalRun> platform::backend::StartModalRun(CDialog& dialog) {
  return std::make_unique<WebModalRun>(dialog);
}
