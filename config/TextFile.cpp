#include "config/TextFile.h"

#include <utility>

#include "platform/Files.h"

namespace config {

std::string ToTextMode(std::string bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::size_t read = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  std::size_t write = 0;
  for (; read < bytes.size(); ++read) {
    if (bytes[read] == '\r' && read + 1 < bytes.size() && bytes[read + 1] == '\n') continue;
    bytes[write++] = bytes[read];
  }
  bytes.resize(write);
  return bytes;
}

std::optional<std::string> ReadTextFile(const char* path) {
  std::optional<std::string> bytes = platform::ReadWholeFile(path, kLargestTextFile);
  if (!bytes) return std::nullopt;
  return ToTextMode(std::move(*bytes));
}

}  // namespace config
