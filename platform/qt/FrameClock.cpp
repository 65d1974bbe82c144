// The Qt backend's frames. On Wayland the compositor tells a client when to draw its next frame
// (the surface's frame callback), and Qt hands that on as the window's update request: one per
// frame that composed the window's previous drawing. Its moment is the frame's, give or take the
// hop from Qt's event thread, and the period is measured from the frames themselves (a
// compositor's repaint rhythm need not be the mode's refresh rate it announces). A frame
// callback comes only for a frame the window has drawn into, so while the frames are followed
// the window draws a little every frame.
//
// Elsewhere no frames are known: on X11 drawing shows at once unless a compositor runs (and then
// no toolkit interface tells when it composes), and Qt's update requests there come from a timer,
// not from the screen; the offscreen platform has no screen at all.
#include "platform/FrameClock.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "platform/PerformanceCounter.h"
#include "platform/qt/QtWindows.h"

namespace platform {

namespace {

class UpdateRequestClock : public QObject, public FrameClock {
 public:
  UpdateRequestClock(QWidget* widget, QWindow* window) : m_widget(widget), m_window(window) {
    m_window->installEventFilter(this);
    Draw();
  }
  ~UpdateRequestClock() override {
    if (m_window) m_window->removeEventFilter(this);
  }

  bool LatestFrame(Frame* frame) override {
    if (m_frames == 0) return false;
    *frame = Frame{m_frames, m_latest, 0};
    return true;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != m_window) return false;
    if (event->type() == QEvent::UpdateRequest && m_window->isExposed()) {
      QueryPerformanceCounter(&m_latest);
      ++m_frames;
      Draw();
    } else if (event->type() == QEvent::Expose && m_window->isExposed()) {
      // Shown again: Qt counts a window whose frame callback stays away for long as hidden, and
      // draws nothing there, so the frames are asked for afresh once it is back.
      Draw();
    }
    return false;  // the window handles its events as ever
  }

 private:
  // One pixel of the client area's background, repainted and committed at once: enough for the
  // compositor to send the next frame's callback, which Qt turns into the next update request.
  // (The top-level widget's own repaint on an update request draws nothing where its children
  // cover it, and a request that commits nothing comes back at once, not at the next frame.)
  void Draw() {
    if (!m_widget || !m_window) return;
    m_widget->repaint(0, 0, 1, 1);
    m_window->requestUpdate();
  }

  QPointer<QWidget> m_widget;
  QPointer<QWindow> m_window;
  std::uint64_t m_frames = 0;
  std::int64_t m_latest = 0;
};

}  // namespace

std::unique_ptr<FrameClock> FollowBackendFrames(CWnd& window) {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return nullptr;
  QWidget* client = qt::ClientWidgetOf(window);
  QWindow* handle = client ? client->window()->windowHandle() : nullptr;
  if (!handle) return nullptr;
  return std::make_unique<UpdateRequestClock>(client, handle);
}

}  // namespace platform
