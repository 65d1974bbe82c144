#include "platform/win32/WideText.h"

#include <climits>

#include "platform/TextEncoding.h"
#include "platform/win32/System.h"

namespace platform::win32 {

namespace {

constexpr UINT kWindows1252 = 1252;

// The conversion of `bytes` in `codePage`; false when the system refuses it.
bool Convert(UINT codePage, DWORD flags, std::string_view bytes, std::wstring& out) {
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return false;
  out.resize(static_cast<std::size_t>(needed));
  return MultiByteToWideChar(codePage, flags, bytes.data(), length, out.data(), needed) == needed;
}

}  // namespace

std::wstring Widen(std::string_view bytes) {
  std::wstring text;
  // The system's calls count in int: longer text than that is no window's text anyway.
  if (bytes.empty() || bytes.size() > INT_MAX) return text;
  if (TextEncodingOf(bytes) == TextEncoding::Utf8) {
    if (Convert(CP_UTF8, 0, bytes, text)) return text;
  } else if (Convert(kWindows1252, 0, bytes, text)) {
    return text;
  }
  for (const unsigned char byte : bytes) text.push_back(byte);  // Latin-1, which every system has
  return text;
}

CString Narrow(std::wstring_view text) {
  CString bytes;
  if (text.empty() || text.size() > INT_MAX) return bytes;
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return bytes;
  bytes.resize(static_cast<std::size_t>(needed));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

}  // namespace platform::win32
