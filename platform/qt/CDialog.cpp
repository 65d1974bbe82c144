#include "platform/CDialog.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/qt/DialogLook.h"
#include "platform/qt/DialogWindow.h"
#include "platform/qt/ModalFocus.h"
#include "platform/qt/QtWindows.h"

struct CDialog::Impl {
  platform::DialogWindow* window = nullptr;  // while the dialog runs
};

namespace {

// A control that the template created: the dialog's window owns it.
class TemplateItem : public CWnd {
 public:
  TemplateItem(QWidget* widget, int id) { platform::qt::AttachWidget(*this, widget, id); }
};

void BuildMenu(QMenuBar* bar, const platform::MenuTemplate& menu, platform::DialogWindow* window) {
  std::vector<QMenu*> open;  // the popups being filled, innermost last
  for (const auto& item : menu.items) {
    switch (item.kind) {
      case platform::MenuItemKind::Popup: {
        QMenu* popup = open.empty() ? bar->addMenu(QString::fromUtf8(item.text))
                                    : open.back()->addMenu(QString::fromUtf8(item.text));
        open.push_back(popup);
        break;
      }
      case platform::MenuItemKind::EndPopup:
        if (!open.empty()) open.pop_back();
        break;
      case platform::MenuItemKind::Separator:
        if (!open.empty()) open.back()->addSeparator();
        break;
      case platform::MenuItemKind::Command: {
        QAction* action = open.empty() ? bar->addAction(QString::fromUtf8(item.text))
                                       : open.back()->addAction(QString::fromUtf8(item.text));
        const int id = item.id;
        QObject::connect(action, &QAction::triggered, window,
                         [window, id] { window->sendCommand(id); });
        break;
      }
    }
  }
}

}  // namespace

CDialog::CDialog(int templateId, CWnd* parent)
    : m_templateId(templateId), m_parent(parent), m_impl(std::make_unique<Impl>()) {}

CDialog::~CDialog() {
  m_templateItems.clear();
  DestroyWindow();
}

void CDialog::EndDialog(int result) {
  if (m_impl->window) m_impl->window->done(result);
}

void CDialog::BuildWindow(const platform::DialogTemplate& dialogTemplate) {
  QWidget* parentWidget = platform::qt::WidgetOf(m_parent);
  m_impl->window = new platform::DialogWindow(parentWidget);
  platform::qt::AttachWidget(*this, m_impl->window, dialogTemplate.id);
  m_impl->window->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
  m_impl->window->setFont(platform::DialogFont());
  m_impl->window->setCommandSink([this](int id) { SendCommand(id); });
  if (const MessageMapEntry* paint = FindEntry(WM_PAINT, 0)) {
    const Handler handler = paint->handler;
    m_impl->window->setPaintHandler([this, handler] { (this->*handler)(); });
  }
  if (const auto* menu = platform::FindMenuTemplate(dialogTemplate.menuId)) {
    auto* bar = new QMenuBar;
    m_impl->window->setMenuBar(bar);
    BuildMenu(bar, *menu, m_impl->window);
  }

  const platform::DialogBaseUnits units = platform::BaseUnitsOf(platform::DialogFont());
  const QRect size = platform::qt::QRectOf(platform::DialogUnitsToPixels(
      units, dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx, dialogTemplate.cy));
  m_impl->window->setClientSize(size.width(), size.height());

  QWidget* client = m_impl->window->clientArea();
  for (const auto& item : dialogTemplate.items) {
    const QRect rect = platform::qt::QRectOf(
        platform::DialogUnitsToPixels(units, item.x, item.y, item.cx, item.cy));
    QWidget* widget = nullptr;
    switch (item.kind) {
      case platform::ItemKind::DefPushButton:
      case platform::ItemKind::PushButton: {
        auto* button = new QPushButton(QString::fromUtf8(item.text), client);
        button->setAutoDefault(true);  // a focused push button takes Enter, as on the platform
        const int id = item.id;
        QObject::connect(button, &QPushButton::clicked, m_impl->window,
                         [this, id] { m_impl->window->sendCommand(id); });
        if (item.kind == platform::ItemKind::DefPushButton) {
          m_impl->window->setDefaultCommand(item.id);
          button->setDefault(true);  // drawn as the default while no other button has the focus
        }
        widget = button;
        break;
      }
      case platform::ItemKind::Icon: {
        auto* icon = new QLabel(client);
        icon->setPixmap(QPixmap(platform::ApplicationIconXpm()));
        icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = icon;
        break;
      }
      case platform::ItemKind::CenteredText: {
        auto* text = new QLabel(QString::fromUtf8(item.text), client);
        text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        widget = text;
        break;
      }
    }
    widget->setGeometry(rect);
    m_templateItems.push_back(std::make_unique<TemplateItem>(widget, item.id));
  }
}

// A centred text that its text does not fit grows downward, as far as the screen allows, and
// the dialog with it: the items below it move down by as much. Short texts leave the template's
// shape as it is.
void CDialog::GrowToFitTexts(const platform::DialogTemplate& dialogTemplate) {
  for (std::size_t i = 0; i < dialogTemplate.items.size() && i < m_templateItems.size(); ++i) {
    if (dialogTemplate.items[i].kind != platform::ItemKind::CenteredText) continue;
    auto* text = qobject_cast<QLabel*>(platform::qt::WidgetOf(*m_templateItems[i]));
    if (!text) continue;
    QWidget* client = m_impl->window->clientArea();
    int extra = text->heightForWidth(text->width()) - text->height();
    const QScreen* screen = m_impl->window->screen();
    if (screen) {
      extra = std::min(extra, screen->availableGeometry().height() - m_impl->window->height());
    }
    if (extra <= 0) continue;
    const int textBottom = text->geometry().bottom();
    for (const auto& item : m_templateItems) {
      QWidget* widget = platform::qt::WidgetOf(*item);
      if (widget && widget != text && widget->y() > textBottom)
        widget->move(widget->x(), widget->y() + extra);
    }
    text->resize(text->width(), text->height() + extra);
    m_impl->window->setClientSize(client->width(), client->height() + extra);
  }
}

int CDialog::DoModal() {
  const platform::DialogTemplate* dialogTemplate = platform::FindDialogTemplate(m_templateId);
  if (!dialogTemplate) return -1;  // as the platform does for a missing template
  const platform::ModalFocusReturn focusReturn;
  BuildWindow(*dialogTemplate);
  // As the platform does when OnInitDialog returns true: the first tab stop in the dialog's
  // order, controls created at run time included, takes the keyboard focus.
  const bool focusFirst = OnInitDialog();
  GrowToFitTexts(*dialogTemplate);
  if (focusFirst) {
    for (QObject* child : m_impl->window->clientArea()->children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (widget && !widget->isHidden() && widget->focusPolicy() & Qt::TabFocus &&
          widget->isEnabled()) {
        widget->setFocus();
        break;
      }
    }
  }
  const int result = m_impl->window->run();
  m_templateItems.clear();
  DestroyWindow();
  m_impl->window = nullptr;
  return result;
}
