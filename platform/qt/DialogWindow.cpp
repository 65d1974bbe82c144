#include "platform/qt/DialogWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QWindow>
#include <algorithm>

#include "platform/DialogKeys.h"
#include "platform/WinTypes.h"
#include "platform/qt/DialogLook.h"

namespace platform::qt {

namespace {
// The sides a window system shows: a window with an empty side is never mapped, so no side is
// below 1, and none beyond what the display server takes.
constexpr int kSmallestSide = 1;
constexpr int kLargestSide = 16384;

int ClampSide(int side) { return std::clamp(side, kSmallestSide, kLargestSide); }

}  // namespace

class ClientArea : public QWidget {
 public:
  explicit ClientArea(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }
  DialogWindow::PaintHandler paintHandler;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (paintHandler) paintHandler();
  }
};

// The main window is listed by the desktop in its taskbar and window switcher, as the platform
// does with an unowned dialog. (The toolkit would mark it a modal dialog that belongs to a hidden
// window, which many desktops leave out of both.) The client area is made once every member has
// its value: adding a child sends this window an event, and event() reads the members.
DialogWindow::DialogWindow(QWidget* owner, bool isMainWindow)
    : QDialog(owner), m_isMainWindow(isMainWindow) {
  setPalette(ClassicPalette());  // whatever the application's palette is
  m_client = new ClientArea(this);
  setSizeGripEnabled(false);
  if (m_isMainWindow) {
    // Caption, system menu and close box only, as the template's modal frame has.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  }
}

int DialogWindow::run() {
  if (!m_isMainWindow) return exec();
  // Nothing else is on screen to block: shown as an ordinary window until the dialog is ended.
  QEventLoop loop;
  connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
  show();
  loop.exec(QEventLoop::DialogExec);
  return result();
}

QWidget* DialogWindow::clientArea() const { return m_client; }

void DialogWindow::setMenuBar(QMenuBar* menuBar) {
  m_menuBar = menuBar;
  m_menuBar->setParent(this);
}

// F10 does what Alt pressed and released alone does (the toolkit's style handles that one): the
// keyboard goes to the menu bar with its first title highlighted. The toolkit has no call for it;
// opening the first menu and closing it with Escape leaves the bar in that state, as a person
// would by hand. A second F10 leaves the bar as Escape does.
void DialogWindow::toggleMenuBarKeyboard() {
  if (m_menuBar->hasFocus()) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(m_menuBar, &escape);
    return;
  }
  const auto titles = m_menuBar->actions();
  if (titles.isEmpty()) return;
  m_menuBar->setActiveAction(titles.first());
  if (QWidget* popup = QApplication::activePopupWidget()) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(popup, &escape);
  }
}

void DialogWindow::setPaintHandler(PaintHandler handler) {
  m_client->paintHandler = std::move(handler);
}

void DialogWindow::sendCommand(int id) {
  if (m_commandSink) m_commandSink(id);
}

int DialogWindow::menuBarHeight() const { return m_menuBar ? m_menuBar->sizeHint().height() : 0; }

void DialogWindow::setClientSize(int width, int height) {
  fixSize(width, height + menuBarHeight());
}

// A dialog has a modal frame: the window manager is told it can't be resized (equal minimum and
// maximum size), and its size changes only when the dialog itself moves it.
void DialogWindow::fixSize(int width, int height) {
  setFixedSize(ClampSide(width), ClampSide(height));
  layoutClientArea();
}

QMargins DialogWindow::frameExtents() const {
  if (!isVisible()) return {};
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void DialogWindow::SetOuterGeometry(const QRect& outer) {
  m_hasOuterGeometry = true;
  m_outerGeometry = outer;
  applyOuterGeometry();
}

void DialogWindow::applyOuterGeometry() {
  const QMargins frame = frameExtents();
  m_appliedFrame = frame;
  // A side given below 1 would leave nothing to see or reach: that side is held at the least
  // size that still shows the menu bar's titles, with the window manager's title bar and close box
  // around it.
  const QSize least = leastSize();
  const int width = m_outerGeometry.width() < 1
                        ? least.width()
                        : m_outerGeometry.width() - frame.left() - frame.right();
  const int height = m_outerGeometry.height() < 1
                         ? least.height()
                         : m_outerGeometry.height() - frame.top() - frame.bottom();
  fixSize(width, height);
  move(m_outerGeometry.topLeft());  // positions the frame, title bar included
}

// Wide enough for the menu bar's titles, and one pixel of client area below it; a window without
// a menu bar, one pixel each way.
QSize DialogWindow::leastSize() const {
  if (!m_menuBar) return {kSmallestSide, kSmallestSide};
  return {m_menuBar->sizeHint().width(), menuBarHeight() + kSmallestSide};
}

// On Wayland the title bar is Qt's own, and it offers maximise on every window; a compositor may
// grant it even to a window of fixed size, and Weston then ends the client whose maximised window
// keeps another size ("xdg_surface geometry does not match the configured maximized state"). The
// request leaves at once, so the window lifts its maximum size as it goes, and may grow from then
// on: a restored window gets its own size back from the compositor.
void DialogWindow::followCompositorState(Qt::WindowState state) {
  if (state == Qt::WindowMaximized || state == Qt::WindowFullScreen) {
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

bool DialogWindow::event(QEvent* event) {
  if (event->type() == QEvent::Show && !m_followsWindowState && windowHandle() &&
      QGuiApplication::platformName().startsWith("wayland")) {
    m_followsWindowState = true;
    connect(windowHandle(), &QWindow::windowStateChanged, this,
            &DialogWindow::followCompositorState);
  }
  const bool handled = QDialog::event(event);
  // The window manager's frame is known only once it has decorated the shown window. Frames
  // drawn by Qt itself (Wayland) are known once the window is on screen, which ShowToParent
  // follows; Show comes before, and no Move or Resize need come after.
  const auto type = event->type();
  if (m_hasOuterGeometry &&
      (type == QEvent::Show || type == QEvent::ShowToParent || type == QEvent::Move ||
       type == QEvent::Resize) &&
      frameExtents() != m_appliedFrame) {
    applyOuterGeometry();
  }
  return handled;
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layoutClientArea();
}

// A hidden window gets its resize event only when shown; the client area must have its size
// before that, for the dialog's initialisation to read it.
void DialogWindow::layoutClientArea() {
  const int menuHeight = menuBarHeight();
  if (m_menuBar) m_menuBar->setGeometry(0, 0, width(), menuHeight);
  m_client->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (DialogKeysSuspended()) return;  // a busy loop is pumping: no dialog keys
  switch (event->key()) {
    case Qt::Key_Escape:
      sendCommand(IDCANCEL);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (m_defaultCommand != 0) sendCommand(m_defaultCommand);
      return;
    case Qt::Key_F10:
      if (m_menuBar && event->modifiers() == Qt::NoModifier) {
        toggleMenuBarKeyboard();
        return;
      }
      QDialog::keyPressEvent(event);
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  // The close box is a cancel command; only the dialog's own handlers end it.
  event->ignore();
  sendCommand(IDCANCEL);
}

}  // namespace platform::qt
