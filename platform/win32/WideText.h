// The tool's single-byte text as the wide strings the system's windows take, and back.
#pragma once

#include <string>
#include <string_view>

#include "platform/CString.h"

namespace platform::win32 {

// Files come from other systems: bytes that are valid UTF-8 are read as UTF-8, anything else as
// Windows-1252, so "Vitesse (0 à 255)" shows right from either kind of file.
std::wstring Widen(std::string_view bytes);

// What the user typed (or a path the system gave), as UTF-8 bytes.
CString Narrow(std::wstring_view text);

}  // namespace platform::win32
