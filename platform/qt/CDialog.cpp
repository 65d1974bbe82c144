#include "platform/CDialog.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "platform/Backend.h"
#include "platform/DialogTemplate.h"
#include "platform/qt/DialogLook.h"
#include "platform/qt/DialogWindow.h"
#include "platform/qt/ModalFocus.h"
#include "platform/qt/QtWindows.h"

namespace {

// A control that the template created: the dialog's window owns it.
class TemplateItem : public CWnd {
 public:
  TemplateItem(QWidget* widget, int id) { platform::qt::AttachWidget(*this, widget, id); }
};

void BuildMenu(QMenuBar* bar, const platform::MenuTemplate& menu,
               platform::qt::DialogWindow* window) {
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

// The dialog's window while it runs, the template's controls on it, and the focus to give back
// when it closes.
class QtModalRun : public platform::backend::ModalRun {
 public:
  explicit QtModalRun(CDialog& dialog) : m_dialog(dialog) {}
  ~QtModalRun() override {
    m_templateItems.clear();
    delete m_window.data();  // before the focus goes back to the window under it
  }

  int Run(const platform::DialogTemplate& dialogTemplate, CWnd* owner, bool isMainWindow) override {
    m_template = &dialogTemplate;
    BuildWindow(owner, isMainWindow);
    platform::InitializeDialog(m_dialog, *this);
    return m_window->run();
  }

  void End(int result) override {
    if (m_window) m_window->done(result);
  }

  void GrowToFitTexts() override;
  void FocusFirstTabStop() override;

 private:
  void BuildWindow(CWnd* owner, bool isMainWindow);

  CDialog& m_dialog;
  const platform::DialogTemplate* m_template = nullptr;
  const platform::qt::ModalFocusReturn m_focusReturn;
  QPointer<platform::qt::DialogWindow> m_window;
  std::vector<std::unique_ptr<CWnd>> m_templateItems;
};

void QtModalRun::BuildWindow(CWnd* owner, bool isMainWindow) {
  const platform::DialogTemplate& dialogTemplate = *m_template;
  m_window = new platform::qt::DialogWindow(platform::qt::WidgetOf(owner), isMainWindow);
  platform::qt::AttachWidget(m_dialog, m_window, dialogTemplate.id);
  m_window->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
  m_window->setFont(platform::qt::DialogFont());
  m_window->setCommandSink([this](int id) { m_dialog.SendCommand(id); });
  m_window->setPaintHandler([this] { m_dialog.SendPaint(); });
  if (const auto* menu = platform::FindMenuTemplate(dialogTemplate.menuId)) {
    auto* bar = new QMenuBar;
    m_window->setMenuBar(bar);
    BuildMenu(bar, *menu, m_window);
  }

  const platform::DialogBaseUnits units = platform::qt::BaseUnitsOf(platform::qt::DialogFont());
  const QRect size = platform::qt::QRectOf(platform::DialogUnitsToPixels(
      units, dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx, dialogTemplate.cy));
  m_window->setClientSize(size.width(), size.height());

  QWidget* client = m_window->clientArea();
  platform::qt::DialogWindow* window = m_window;
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
        QObject::connect(button, &QPushButton::clicked, window,
                         [window, id] { window->sendCommand(id); });
        if (item.kind == platform::ItemKind::DefPushButton) {
          window->setDefaultCommand(item.id);
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

void QtModalRun::GrowToFitTexts() {
  const platform::DialogTemplate& dialogTemplate = *m_template;
  for (std::size_t i = 0; i < dialogTemplate.items.size() && i < m_templateItems.size(); ++i) {
    if (dialogTemplate.items[i].kind != platform::ItemKind::CenteredText) continue;
    auto* text = qobject_cast<QLabel*>(platform::qt::WidgetOf(*m_templateItems[i]));
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
      QWidget* widget = platform::qt::WidgetOf(*item);
      if (widget && widget != text && widget->y() > textBottom)
        widget->move(widget->x(), widget->y() + extra);
    }
    text->resize(text->width(), text->height() + extra);
    m_window->setClientSize(client->width(), client->height() + extra);
  }
}

// In the order of the client area's children, which is the tab order.
void QtModalRun::FocusFirstTabStop() {
  for (QObject* child : m_window->clientArea()->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget && !widget->isHidden() && widget->focusPolicy() & Qt::TabFocus &&
        widget->isEnabled()) {
      widget->setFocus();
      break;
    }
  }
}

}  // namespace

std::unique_ptr<platform::backend::ModalRun> platform::backend::StartModalRun(CDialog& dialog) {
  return std::make_unique<QtModalRun>(dialog);
}
