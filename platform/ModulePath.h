// The executable's own full path, whatever the current directory is, and the directory separator
// of the system's paths.
#pragma once

#include "platform/CString.h"
#include "platform/WinTypes.h"  // keeps GetModuleFileName this layer's name where windows.h has one

namespace platform {

#ifdef _WIN32
constexpr char kDirectorySeparator = '\\';
#else
constexpr char kDirectorySeparator = '/';
#endif

// The full path of the running executable, of any length, in the file system's encoding. Links
// are resolved: started through a link (the installed bin/ entry), it is the real file's path.
CString GetModuleFileName();

}  // namespace platform
