// What the Qt backend does before the toolkit connects to a Wayland compositor.
#pragma once

namespace platform {

// The toolkit's Wayland input method (6.4) assumes that the compositor offers a seat: with none
// (a kiosk, or a remote session started without input devices) it dereferences the missing one as
// soon as a focused edit box paints its caret, and the tool crashes before its form shows. Without
// a seat nothing can be typed anyway, so the toolkit's plain compose input method takes its place
// there. A choice the user made (QT_IM_MODULE) is kept. Call before the application object exists.
void AvoidInputMethodWithoutSeat();

}  // namespace platform
