#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace platform {

namespace {

// Writes every byte, going on after a partial write; false on the first error (a full disk, a
// file-size limit, an I/O error).
bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes from the start, cuts off whatever lay beyond, and makes sure that the disk holds exactly
// these bytes: some file systems report a full disk or an I/O error only when flushing.
bool WriteAndFlush(int fd, std::string_view content) {
  const auto size = static_cast<off_t>(content.size());
  struct stat written {};
  return WriteAll(fd, content) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0 &&
         ::fstat(fd, &written) == 0 && written.st_size == size;
}

// A close can be the first to report a failed write-back, so its result counts.
bool WriteFlushAndClose(int fd, std::string_view content) {
  const bool written = WriteAndFlush(fd, content);
  return ::close(fd) == 0 && written;
}

// A link's own file is the one to replace; replacing the link would cut it from its file.
std::string ResolveLink(const char* path) {
  struct stat link {};
  if (::lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path, nullptr), &std::free);
  return real ? std::string(real.get()) : std::string(path);
}

// A hidden name beside the target, so that a crash leaves no clutter in the user's view, cut so
// that it stays within the longest file name.
std::string TemporaryNameBeside(const std::string& target, unsigned attempt) {
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%ld.%llx.%u.tmp", static_cast<long>(::getpid()),
                static_cast<unsigned long long>(tick), attempt);
  return folder + "." + name.substr(0, 160) + suffix;
}

// Creates a new file beside the target; the process's umask applies as to any new file.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryNameBeside(target, attempt);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The replacement takes the old file's permissions and, where allowed, its owner.
bool TakeOverAttributes(int fd, const struct stat& old) {
  struct stat own {};
  if (::fstat(fd, &own) != 0) return false;
  if ((own.st_uid != old.st_uid || own.st_gid != old.st_gid) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    // Not permitted for other users' files: the replacement stays ours, which is what saving a
    // copy would give too.
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Used only when the folder takes no new file: overwriting rather than truncating first reuses
// the file's blocks, so that a full disk is less likely to strike half-way.
bool WriteInPlace(const std::string& target, std::string_view content) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  return fd >= 0 && WriteFlushAndClose(fd, content);
}

// Makes the rename itself last across a power cut; the file is already complete either way.
void FlushFolderOf(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool ReplaceFile(const char* path, std::string_view content) {
  if (!path || !*path) return false;
  const std::string target = ResolveLink(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // Folders and devices are never replaced; nor is a file that the user may not write to.
  if (exists && !S_ISREG(old.st_mode)) return false;
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;

  std::string temporary;
  const int fd = CreateTemporaryBeside(target, temporary);
  if (fd < 0) {
    const bool folderRefuses = errno == EACCES || errno == EPERM;
    return exists && folderRefuses && WriteInPlace(target, content);
  }
  const bool attributesKept = !exists || TakeOverAttributes(fd, old);
  if (WriteFlushAndClose(fd, content) && attributesKept &&
      ::rename(temporary.c_str(), target.c_str()) == 0) {
    FlushFolderOf(target);
    return true;
  }
  ::unlink(temporary.c_str());
  return false;
}

std::optional<std::string> ReadWholeFile(const char* path, std::size_t largest) {
  if (!path) return std::nullopt;
  // The path's bytes as they are, whatever their encoding. Non-blocking, so that a named pipe
  // with no writer is refused at once instead of holding the tool up.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // Only a regular file: a folder, a pipe or a device such as one that never ends is no text.
  struct stat info {};
  std::optional<std::string> whole;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= largest) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) break;
      if (got == 0) {
        whole = std::move(bytes);
        break;
      }
      if (bytes.size() + static_cast<std::size_t>(got) > largest) break;  // it grew
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return whole;
}

bool FileExists(const char* path) {
  struct stat info {};
  return path && ::stat(path, &info) == 0;
}

}  // namespace platform
