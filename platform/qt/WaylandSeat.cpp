#include "platform/qt/WaylandSeat.h"

#include <wayland-client.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstring>

namespace platform {
namespace {

// Whether the compositor that the toolkit will connect to offers a seat, from one look at its
// globals; true when no compositor answers, so that nothing changes off Wayland.
bool CompositorHasSeat() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return true;
  bool hasSeat = false;
  static const wl_registry_listener listener = {
      [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
        if (std::strcmp(interface, wl_seat_interface.name) == 0) *static_cast<bool*>(data) = true;
      },
      [](void*, wl_registry*, uint32_t) {},
  };
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &hasSeat);
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return hasSeat || !answered;
}

// Whether the toolkit may choose its Wayland platform: it was asked for, or nothing was asked
// for and the toolkit picks one itself.
bool MayUseWayland() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  return platform.isEmpty() || platform.contains("wayland");
}

}  // namespace

void AvoidInputMethodWithoutSeat() {
  if (qEnvironmentVariableIsSet("QT_IM_MODULE") || !MayUseWayland()) return;
  if (!CompositorHasSeat()) qputenv("QT_IM_MODULE", "compose");
}

}  // namespace platform
