// What a person sees of the layer's windows, read from their widgets.
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "platform/qt/DialogLook.h"
#include "platform/qt/QtWindows.h"
#include "tests/neutral/support/DialogDriver.h"

namespace neutral::backend {

namespace {

RECT RectOf(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

COLORREF ColourRef(const QColor& colour) {
  return static_cast<COLORREF>(colour.red()) | static_cast<COLORREF>(colour.green()) << 8 |
         static_cast<COLORREF>(colour.blue()) << 16;
}

QMenuBar* MenuBarOf(const CWnd& dialog) {
  QWidget* window = platform::qt::WidgetOf(dialog);
  return window ? window->findChild<QMenuBar*>() : nullptr;
}

class TitleFilter : public QObject, public TextWatch {
 public:
  TitleFilter(QWidget* widget, std::function<void()> changed)
      : m_widget(widget), m_changed(std::move(changed)) {
    m_widget->installEventFilter(this);
  }
  ~TitleFilter() override {
    if (m_widget) m_widget->removeEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowTitleChange) m_changed();
    return false;
  }

 private:
  QPointer<QWidget> m_widget;
  std::function<void()> m_changed;
};

}  // namespace

CWnd* FocusedWindow() { return platform::qt::FromWidget(QApplication::focusWidget()); }

bool IsEnabled(const CWnd& window) {
  const QWidget* widget = platform::qt::WidgetOf(window);
  return widget && widget->isEnabled();
}

bool IsVisible(const CWnd& window) {
  const QWidget* widget = platform::qt::WidgetOf(window);
  return widget && widget->isVisible();
}

RECT PlacementOf(const CWnd& window) {
  const QWidget* widget = platform::qt::WidgetOf(window);
  if (!widget) return {};
  return RectOf(widget->isWindow() ? widget->frameGeometry() : widget->geometry());
}

RECT ClientOnScreen(const CWnd& window) {
  const QWidget* client = platform::qt::ClientWidgetOf(window);
  if (!client) return {};
  return RectOf(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()));
}

std::vector<RECT> MenuTitlesOnScreen(const CWnd& dialog) {
  std::vector<RECT> titles;
  if (const QMenuBar* bar = MenuBarOf(dialog)) {
    for (QAction* title : bar->actions()) {
      const QRect rect = bar->actionGeometry(title);
      titles.push_back(RectOf(QRect(bar->mapToGlobal(rect.topLeft()), rect.size())));
    }
  }
  return titles;
}

std::vector<std::string> MenuEntries(const CWnd& dialog) {
  std::vector<std::string> entries;
  if (const QMenuBar* bar = MenuBarOf(dialog)) {
    for (QAction* title : bar->actions()) {
      entries.push_back(title->text().toStdString());
      if (!title->menu()) continue;
      for (QAction* item : title->menu()->actions())
        entries.push_back(item->isSeparator() ? "-" : "  " + item->text().toStdString());
    }
  }
  return entries;
}

// The window manager is told that the smallest and the largest size are the size.
bool HasFixedSize(const CWnd& window) {
  const QWidget* widget = platform::qt::WidgetOf(window);
  return widget && widget->minimumSize() == widget->size() &&
         widget->maximumSize() == widget->size();
}

platform::DialogBaseUnits BaseUnitsOf(const CWnd& dialog) {
  const QWidget* widget = platform::qt::WidgetOf(dialog);
  return platform::qt::BaseUnitsOf(widget ? widget->font() : platform::qt::DialogFont());
}

Picture PictureOf(const CWnd& window) {
  QWidget* client = platform::qt::ClientWidgetOf(window);
  if (!client) return {};
  const QImage image = client->grab().toImage();
  Picture picture{image.width(), image.height(), {}};
  picture.pixels.reserve(static_cast<std::size_t>(image.width() * image.height()));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      picture.pixels.push_back(ColourRef(image.pixelColor(x, y)));
  }
  return picture;
}

COLORREF FaceColour(const CWnd& window) {
  const QWidget* client = platform::qt::ClientWidgetOf(window);
  return client ? ColourRef(client->palette().color(QPalette::Window)) : 0;
}

// The layer keeps a window's own text as its title.
std::unique_ptr<TextWatch> WatchText(CWnd& window, std::function<void()> changed) {
  QWidget* widget = platform::qt::WidgetOf(window);
  if (!widget) return nullptr;
  return std::make_unique<TitleFilter>(widget, std::move(changed));
}

}  // namespace neutral::backend
