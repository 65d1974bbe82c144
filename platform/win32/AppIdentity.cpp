#include "platform/AppIdentity.h"

#include "platform/win32/System.h"
#include "platform/win32/WideText.h"

// The executable carries its icon and name in its resources, which the desktop reads itself. The
// desktop id becomes the process's application id: the taskbar groups the tool's windows under
// it, and pinning keeps it, whatever the executable file is called.
void platform::AnnounceApplication(const char* /*name*/, const char* desktopId) {
  if (!desktopId || !*desktopId) return;
  SetCurrentProcessExplicitAppUserModelID(platform::win32::Widen(desktopId).c_str());
}
