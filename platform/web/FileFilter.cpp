#include "platform/web/FileFilter.h"

namespace platform::web {

namespace {

CString Trimmed(const CString& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == CString::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CString AcceptListOf(const CString& filter) {
  const std::size_t descriptionEnd = filter.find('|');
  if (descriptionEnd == CString::npos) return {};
  const std::size_t patternsEnd = filter.find('|', descriptionEnd + 1);
  const CString patterns = filter.substr(
      descriptionEnd + 1,
      patternsEnd == CString::npos ? CString::npos : patternsEnd - descriptionEnd - 1);
  CString accept;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    const std::size_t end = patterns.find(';', start);
    const CString pattern =
        Trimmed(patterns.substr(start, end == CString::npos ? end : end - start));
    start = end == CString::npos ? patterns.size() + 1 : end + 1;
    if (pattern.empty()) continue;
    const CString extension = pattern.starts_with("*.") ? pattern.substr(1) : CString();
    if (extension.size() < 2 || extension.find_first_of("*?") != CString::npos) return {};
    accept += (accept.empty() ? "" : ",") + extension;
  }
  return accept;
}

CString PlainFileName(const CString& name) {
  const std::size_t folderEnd = name.find_last_of("/\\");
  return Trimmed(folderEnd == CString::npos ? name : name.substr(folderEnd + 1));
}

}  // namespace platform::web
