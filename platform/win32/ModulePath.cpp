#include "platform/ModulePath.h"

#include <string>

#include "platform/win32/System.h"
#include "platform/win32/WidePath.h"

namespace platform {

const char kDirectorySeparator = '\\';

CString GetModuleFileName() {
  // The path may be longer than MAX_PATH (a long-path-aware process): grow until it fits. A
  // result that fills the buffer was cut short.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const SystemDWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<SystemDWORD>(path.size()));
    if (length == 0) return CString();
    if (length < path.size()) {
      path.resize(length);
      return win32::Utf8Path(path);
    }
    if (path.size() >= 32768) return CString();  // longer than any Windows path
    path.resize(path.size() * 2);
  }
}

}  // namespace platform
