#include "TextFile.h"

#include <QFile>

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
  QFile file(QFile::decodeName(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;  // also refuses a directory
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return ToTextMode(content.toStdString());
}

}  // namespace config
