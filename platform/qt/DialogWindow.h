// The toolkit window behind a CDialog: caption, optional menu bar, and a client area below it in
// which child controls sit, so that client coordinates mean the same as on the platform the tool
// was designed for. It turns buttons, menu items, Enter, Escape and the close box into commands,
// and never closes by itself. F10, and Alt pressed and released alone, put the keyboard on the
// menu bar.
#pragma once

#include <QDialog>
#include <QMargins>
#include <QRect>
#include <functional>

class QMenuBar;

namespace platform::qt {

class ClientArea;

class DialogWindow : public QDialog {
 public:
  using CommandSink = std::function<void(int id)>;
  using PaintHandler = std::function<void()>;

  // Modal over `owner` (null for none); the main window is shown as an ordinary window.
  DialogWindow(QWidget* owner, bool isMainWindow);

  QWidget* clientArea() const;
  void setMenuBar(QMenuBar* menuBar);

  void setCommandSink(CommandSink sink) { m_commandSink = std::move(sink); }
  void setPaintHandler(PaintHandler handler);
  void setDefaultCommand(int id) { m_defaultCommand = id; }

  // Shows the window and runs until the dialog is ended; returns its result. Modal over the
  // application's other windows, unless it is the main window.
  int run();

  // Routes a command as a click, a menu item or a dialog key would.
  void sendCommand(int id);

  // Both sizes are fixed, as a dialog with a modal frame is: the window manager offers no resize.
  // A window is always shown: no side is held below 1 pixel.
  // The client area below the menu bar gets this size.
  void setClientSize(int width, int height);
  // The client area, the menu bar and the window manager's frame together fill `outer`;
  // corrected once the frame is known. A side of `outer` below 1 is held at the least size that
  // shows the menu bar's titles.
  void SetOuterGeometry(const QRect& outer);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void toggleMenuBarKeyboard();
  QMargins frameExtents() const;
  void fixSize(int width, int height);
  QSize leastSize() const;
  void applyOuterGeometry();
  void layoutClientArea();
  void followCompositorState(Qt::WindowState state);
  int menuBarHeight() const;

  const bool m_isMainWindow;
  ClientArea* m_client = nullptr;
  QMenuBar* m_menuBar = nullptr;
  CommandSink m_commandSink;
  int m_defaultCommand = 0;
  bool m_hasOuterGeometry = false;
  QRect m_outerGeometry;
  QMargins m_appliedFrame;
  bool m_followsWindowState = false;
};

}  // namespace platform::qt
