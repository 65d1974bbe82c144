// The executable's own full path, whatever the current directory is, and the directory separator
// of the system's paths.
#pragma once

#include "platform/CString.h"

namespace platform {

// The separator the system puts between folders in the paths it gives ('\\' or '/'), defined by
// the backend.
extern const char kDirectorySeparator;

// The full path of the running executable, of any length, in the file system's encoding. Links
// are resolved: started through a link (the installed bin/ entry), it is the real file's path.
CString GetModuleFileName();

}  // namespace platform
