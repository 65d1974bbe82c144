#include "platform/ModulePath.h"

namespace platform {

const char kDirectorySeparator = '/';

// The program's folder in the page's in-memory file system, where the page puts the config.inf
// fetched from beside itself before the program starts.
CString GetModuleFileName() { return "/app/universal-programmer"; }

}  // namespace platform
