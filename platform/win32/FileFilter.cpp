#include "platform/win32/FileFilter.h"

#include <vector>

#include "platform/win32/WideText.h"

namespace platform::win32 {

std::wstring ToFilterPairs(std::string_view filter) {
  std::vector<std::wstring> parts;
  const std::wstring wide = Widen(filter);
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = wide.find(L'|', start);
    parts.push_back(wide.substr(start, bar == std::wstring::npos ? bar : bar - start));
    if (bar == std::wstring::npos) break;
    start = bar + 1;
  }
  std::wstring pairs;
  for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty() && !parts[i + 1].empty();
       i += 2) {
    pairs += parts[i];
    pairs += L'\0';
    pairs += parts[i + 1];
    pairs += L'\0';
  }
  pairs += L'\0';
  return pairs;
}

}  // namespace platform::win32
