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
#include "platform/DialogUnits.h"
#include "platform/DialogWindow.h"
#include "platform/ModalFocus.h"

namespace {

// A control that the template created: the dialog's window owns it.
class TemplateItem : public CWnd {
 public:
  TemplateItem(QWidget* widget, int id) { AttachWidget(widget, id); }
};

const CDialog::MessageMapEntry* FindIn(std::span<const CDialog::MessageMapEntry> map, UINT message,
                                       int id) {
  for (const auto& entry : map) {
    if (entry.message == message && entry.id == id) return &entry;
  }
  return nullptr;
}

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

CDialog::CDialog(int templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
  m_templateItems.clear();
  DestroyWindow();
}

QWidget* CDialog::GetClientWidget() const { return m_window ? m_window->clientArea() : nullptr; }

std::span<const CDialog::MessageMapEntry> CDialog::GetMessageMap() const {
  static const MessageMapEntry kMap[] = {
      OnCommandEntry(IDOK, &CDialog::OnOK),
      OnCommandEntry(IDCANCEL, &CDialog::OnCancel),
  };
  return kMap;
}

const CDialog::MessageMapEntry* CDialog::FindEntry(UINT message, int id) const {
  if (const auto* entry = FindIn(GetMessageMap(), message, id)) return entry;
  return FindIn(CDialog::GetMessageMap(), message, id);
}

bool CDialog::SendCommand(int id) {
  const MessageMapEntry* entry = FindEntry(WM_COMMAND, id);
  if (!entry) return false;
  (this->*(entry->handler))();
  return true;
}

bool CDialog::OnInitDialog() { return true; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  if (m_window) m_window->done(result);
}

void CDialog::BuildWindow(const platform::DialogTemplate& dialogTemplate) {
  QWidget* parentWidget = m_parent ? m_parent->GetSafeWidget() : nullptr;
  m_window = new platform::DialogWindow(parentWidget);
  AttachWidget(m_window, dialogTemplate.id);
  m_window->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
  m_window->setFont(platform::DialogFont());
  m_window->setCommandSink([this](int id) { SendCommand(id); });
  if (const MessageMapEntry* paint = FindEntry(WM_PAINT, 0)) {
    const Handler handler = paint->handler;
    m_window->setPaintHandler([this, handler] { (this->*handler)(); });
  }
  if (const auto* menu = platform::FindMenuTemplate(dialogTemplate.menuId)) {
    auto* bar = new QMenuBar;
    m_window->setMenuBar(bar);
    BuildMenu(bar, *menu, m_window);
  }

  const platform::DialogBaseUnits units = platform::BaseUnitsOf(platform::DialogFont());
  const QRect size = platform::DialogUnitsToPixels(units, dialogTemplate.x, dialogTemplate.y,
                                                   dialogTemplate.cx, dialogTemplate.cy);
  m_window->setClientSize(size.width(), size.height());

  QWidget* client = m_window->clientArea();
  for (const auto& item : dialogTemplate.items) {
    const QRect rect = platform::DialogUnitsToPixels(units, item.x, item.y, item.cx, item.cy);
    QWidget* widget = nullptr;
    switch (item.kind) {
      case platform::ItemKind::DefPushButton:
      case platform::ItemKind::PushButton: {
        auto* button = new QPushButton(QString::fromUtf8(item.text), client);
        button->setAutoDefault(true);  // a focused push button takes Enter, as on the platform
        const int id = item.id;
        QObject::connect(button, &QPushButton::clicked, m_window,
                         [this, id] { m_window->sendCommand(id); });
        if (item.kind == platform::ItemKind::DefPushButton) {
          m_window->setDefaultCommand(item.id);
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
    auto* text = qobject_cast<QLabel*>(m_templateItems[i]->GetSafeWidget());
    if (!text) continue;
    QWidget* client = m_window->clientArea();
    int extra = text->heightForWidth(text->width()) - text->height();
    const QScreen* screen = m_window->screen();
    if (screen) {
      extra = std::min(extra, screen->availableGeometry().height() - m_window->height());
    }
    if (extra <= 0) continue;
    const int textBottom = text->geometry().bottom();
    for (const auto& item : m_templateItems) {
      QWidget* widget = item->GetSafeWidget();
      if (widget && widget != text && widget->y() > textBottom)
        widget->move(widget->x(), widget->y() + extra);
    }
    text->resize(text->width(), text->height() + extra);
    m_window->setClientSize(client->width(), client->height() + extra);
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
    for (QObject* child : m_window->clientArea()->children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (widget && !widget->isHidden() && widget->focusPolicy() & Qt::TabFocus &&
          widget->isEnabled()) {
        widget->setFocus();
        break;
      }
    }
  }
  const int result = m_window->run();
  m_templateItems.clear();
  DestroyWindow();
  m_window = nullptr;
  return result;
}
