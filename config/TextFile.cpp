#include "config/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
  if (!path) return std::nullopt;
  // The path's bytes as they are, whatever their encoding. Non-blocking, so that a named pipe
  // with no writer is refused at once instead of holding the tool up.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // Only a regular file: a folder, a pipe or a device such as one that never ends is no text.
  struct stat info {};
  std::optional<std::string> text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= kLargestTextFile) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) break;
      if (got == 0) {
        text = ToTextMode(std::move(bytes));
        break;
      }
      if (bytes.size() + static_cast<std::size_t>(got) > kLargestTextFile) break;  // it grew
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return text;
}

}  // namespace config
