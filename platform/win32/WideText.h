// The tool's single-byte text as the wide strings the system's windows take, and back.
#pragma once

#include <string>
#include <string_view>

#include "platform/CString.h"

namespace platform::win32 {

// By the layer's rule (platform/TextEncoding.h): UTF-8 when valid, else Windows-1252.
std::wstring Widen(std::string_view bytes);

// What the user typed (or a path the system gave), as UTF-8 bytes.
CString Narrow(std::wstring_view text);

}  // namespace platform::win32
