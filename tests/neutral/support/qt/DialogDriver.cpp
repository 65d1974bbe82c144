// The driver's backend part with Qt: callbacks and tickers on the toolkit's timers, input posted
// as the window system delivers it, and the innermost modal widget as the window on top.
#include "tests/neutral/support/DialogDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "platform/qt/QtWindows.h"

namespace neutral::backend {

namespace {

class QtTicker : public Ticker {
 public:
  QtTicker(std::chrono::milliseconds period, std::function<void()> tick) {
    QObject::connect(&m_timer, &QTimer::timeout, std::move(tick));
    m_timer.start(period);
  }

 private:
  QTimer m_timer;
};

Qt::Key QtKey(Key key) {
  switch (key) {
    case Key::Escape:
      return Qt::Key_Escape;
    case Key::Return:
      return Qt::Key_Return;
    case Key::KeypadEnter:
      return Qt::Key_Enter;
    case Key::Space:
      return Qt::Key_Space;
    case Key::Tab:
      return Qt::Key_Tab;
  }
  return Qt::Key_unknown;
}

QWidget* TopWidget() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  // The application's main window runs as an ordinary window: the last one still shown.
  QWidget* main = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && qobject_cast<QDialog*>(window)) main = window;
  }
  return main;
}

// The window behind a handle that FindTopWindow gave, if it is still there.
QWidget* StillThere(const TopWindow& window) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget == window.handle) return widget;
  }
  return nullptr;
}

}  // namespace

void WhenModalLoopRuns(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

std::unique_ptr<Ticker> Every(std::chrono::milliseconds period, std::function<void()> tick) {
  return std::make_unique<QtTicker>(period, std::move(tick));
}

bool PostClick(CWnd& button) {
  auto* widget = qobject_cast<QAbstractButton*>(platform::qt::WidgetOf(button));
  if (!widget) return false;
  // A disabled button ignores the click when it comes.
  QMetaObject::invokeMethod(
      widget, [widget] { widget->click(); }, Qt::QueuedConnection);
  return true;
}

void PostKey(Key key) {
  QWidget* target = QApplication::focusWidget();
  if (!target) target = QApplication::activeWindow();
  if (!target) target = TopWidget();
  if (!target) return;
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
    QCoreApplication::postEvent(target, new QKeyEvent(type, QtKey(key), Qt::NoModifier));
}

void PostCloseBox(CWnd& window) {
  if (QWidget* widget = platform::qt::WidgetOf(window))
    QCoreApplication::postEvent(widget, new QCloseEvent);
}

bool PostMenuCommand(CWnd& dialog, const std::string& title, const std::string& item) {
  QWidget* window = platform::qt::WidgetOf(dialog);
  auto* bar = window ? window->findChild<QMenuBar*>() : nullptr;
  if (!bar) return false;
  for (QAction* menu : bar->actions()) {
    if (!menu->menu() || menu->text().toStdString() != title) continue;
    for (QAction* entry : menu->menu()->actions()) {
      if (entry->isSeparator() || entry->text().toStdString() != item) continue;
      QMetaObject::invokeMethod(entry, &QAction::trigger, Qt::QueuedConnection);
      return true;
    }
  }
  return false;
}

TopWindow FindTopWindow() {
  QWidget* top = TopWidget();
  if (!top) return {};
  return {top, top->windowTitle().toStdString()};
}

// The toolkit shows a dialog as its loop starts; the window system activates it a moment later.
// (The toolkit's own wait for an active window takes a dialog for active as soon as the window
// it belongs to is, while keys still go to that one.)
bool BringUp(const TopWindow& window) {
  QWidget* widget = StillThere(window);
  return widget && QTest::qWaitFor([widget] { return QApplication::activeWindow() == widget; });
}

void EndTopWindow(const TopWindow& window) {
  QWidget* widget = StillThere(window);
  if (!widget) return;
  widget->close();
  if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
    dialog->done(-3);
}

}  // namespace neutral::backend
