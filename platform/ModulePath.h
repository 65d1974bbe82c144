// The executable's own full path, whatever the current directory is. The directory separator on
// this platform is '/'.
#pragma once

#include "CString.h"

namespace platform {

constexpr char kDirectorySeparator = '/';

// The full path of the running executable, of any length, in the file system's encoding. Links
// are resolved: started through a link (the installed bin/ entry), it is the real file's path.
CString GetModuleFileName();

}  // namespace platform
