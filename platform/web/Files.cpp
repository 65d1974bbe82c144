// Files as a page has them. Reading is from the page's in-memory file system, which holds the
// config.inf fetched at start and the files picked for Open. Writing can't reach the user's disk:
// a replaced file goes to the browser as a download under its name, and the browser decides where
// it lands (and what it is called when that name is taken there).
#include "platform/Files.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "platform/web/Page.h"

namespace platform {

std::optional<std::string> ReadWholeFile(const char* path, std::size_t largest) {
  if (!path) return std::nullopt;
  struct stat info {};
  if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::size_t>(info.st_size) > largest) {
    return std::nullopt;
  }
  const std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path, "rb"),
                                                                &std::fclose);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    if (bytes.size() + got > largest) return std::nullopt;  // it grew
    bytes.append(buffer, got);
    if (got < sizeof buffer) break;
  }
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

bool ReplaceFile(const char* path, std::string_view content) {
  if (!path) return false;
  const std::string_view whole(path);
  const std::string_view name = whole.substr(whole.rfind('/') + 1);
  if (name.empty()) return false;
  up_download(name.data(), static_cast<int>(name.size()), content.data(),
              static_cast<int>(content.size()));
  return true;
}

bool FileExists(const char* path) {
  struct stat info {};
  return path && ::stat(path, &info) == 0;
}

}  // namespace platform
