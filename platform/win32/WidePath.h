// Paths between the layer, where they are UTF-8 bytes, and the wide file API of Win32.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// The wide form of a UTF-8 path; nothing when the bytes are no valid UTF-8 (no file has such a
// name, so every operation on it fails rather than reaching a file of a similar name).
std::optional<std::wstring> WidePath(std::string_view utf8);

// The UTF-8 form of a wide path. A lone surrogate, which a Windows file name may hold, becomes
// U+FFFD.
std::string Utf8Path(std::wstring_view wide);

}  // namespace platform::win32
