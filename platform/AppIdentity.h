// How the desktop recognises the running tool, whatever the executable file is called.
#pragma once

namespace platform {

// Gives the application its name and desktop id, and its windows the application icon registered
// with the resources (so call it after RegisterResources). Call once, before the first window.
void AnnounceApplication(const char* name, const char* desktopId);

}  // namespace platform
