#include "platform/AppIdentity.h"

#include <cstring>

#include "platform/web/Icon.h"
#include "platform/web/Page.h"

// The page's tab shows the application icon, and the name until the main window's title (the
// device's name) takes its place. A page has no desktop id.
void platform::AnnounceApplication(const char* name, const char* /*desktopId*/) {
  const char* shown = name ? name : "";
  const web::IconPixels& icon = web::ApplicationIcon();
  up_announce(shown, static_cast<int>(std::strlen(shown)), icon.rgba.data(), icon.width,
              icon.height);
}
