// The tool's single-byte text on its way to the page and back. The page decodes bytes by the
// layer's rule (platform/TextEncoding.h): UTF-8 when valid, else Windows-1252; what it gives back
// (typed text, a picked file's name) is UTF-8.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "platform/CString.h"
#include "platform/TextEncoding.h"

namespace platform::web {

struct PageText {
  const char* data;
  int length;
  int encoding;  // 0: UTF-8, 1: Windows-1252
};

// Points into `text`, which must outlive the call it is passed to.
inline PageText ToPage(std::string_view text) {
  return {text.data(), static_cast<int>(text.size()),
          TextEncodingOf(text) == TextEncoding::Utf8 ? 0 : 1};
}

// Text the page holds, through a function that copies it into a buffer of a size and returns
// its whole length: asked once for the length, then for the bytes.
template <class Copy>
CString ReadPageText(Copy copy) {
  const int length = copy(nullptr, 0);
  if (length <= 0) return {};
  CString text(static_cast<std::size_t>(length), '\0');
  const int copied = copy(text.data(), length);
  text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
  return text;
}

}  // namespace platform::web
