// Whole files through the wide Win32 file API. Paths arrive as UTF-8; the content is bytes, read
// and written as they are (no line-end translation: each format has its own line handling).
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/win32/System.h"
#include "platform/win32/WidePath.h"

namespace platform {

namespace {

using win32::WidePath;

// Closes the handle with itself.
class Handle {
 public:
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return m_handle; }
  bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
  // A close can be the first to report a failed write-back, so its result counts.
  bool Close() {
    const bool closed = !valid() || ::CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE m_handle;
};

constexpr SystemDWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Open(const std::wstring& path, SystemDWORD access, SystemDWORD creation) {
  return ::CreateFileW(path.c_str(), access, creation == CREATE_NEW ? 0 : kShareAll, nullptr,
                       creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads from the current position to the end, refusing more than `largest` bytes.
std::optional<std::string> ReadToEnd(HANDLE file, std::size_t largest) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    SystemDWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return bytes;
    if (bytes.size() + got > largest) return std::nullopt;  // it grew
    bytes.append(buffer, got);
  }
}

bool WriteAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    const auto chunk = static_cast<SystemDWORD>(std::min<std::size_t>(content.size(), 1u << 30));
    SystemDWORD written = 0;
    if (!::WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
    content.remove_prefix(written);
  }
  return true;
}

// Writes from the start, cuts off whatever lay beyond, flushes, and reads the file back: some
// file systems report a full disk or an I/O error only when flushing, and what reached the disk
// is what counts.
bool WriteFlushAndCompare(HANDLE file, std::string_view content) {
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) || !WriteAll(file, content) ||
      !::SetEndOfFile(file) || !::FlushFileBuffers(file) ||
      !::SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
    return false;
  const std::optional<std::string> back = ReadToEnd(file, content.size());
  return back && *back == content;
}

// A link's own file is the one to replace; replacing the link would cut it from its file.
std::wstring ResolveLink(const std::wstring& path) {
  const SystemDWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return path;
  const Handle file(Open(path, 0, OPEN_EXISTING));
  if (!file.valid()) return path;
  const SystemDWORD needed =
      ::GetFinalPathNameByHandleW(file.get(), nullptr, 0, FILE_NAME_NORMALIZED);
  if (needed == 0) return path;
  std::wstring real(needed, L'\0');
  const SystemDWORD length =
      ::GetFinalPathNameByHandleW(file.get(), real.data(), needed, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= needed) return path;
  real.resize(length);
  return real;
}

// A name beside the target that no other save picks, cut so that it stays within the longest
// file name.
std::wstring TemporaryNameBeside(const std::wstring& target, unsigned attempt) {
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? target : target.substr(slash + 1);
  wchar_t suffix[64];
  std::swprintf(suffix, 64, L".%lu.%llx.%u.tmp", ::GetCurrentProcessId(),
                static_cast<unsigned long long>(::GetTickCount64()), attempt);
  return folder + L"." + name.substr(0, 160) + suffix;
}

// Used only when the folder takes no new file: overwriting rather than truncating first reuses
// the file's clusters, so that a full disk is less likely to strike half-way.
bool WriteInPlace(const std::wstring& target, std::string_view content) {
  Handle file(Open(target, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
  if (!file.valid()) return false;
  const bool written = WriteFlushAndCompare(file.get(), content);
  return file.Close() && written;
}

// Puts the complete temporary file in the target's place. An existing target passes its
// attributes and security to the replacement (ReplaceFileW); when that fails half-way, the old
// file is back under its name from the backup before this returns.
bool TakeThePlaceOf(const std::wstring& target, const std::wstring& temporary, bool exists) {
  if (!exists)
    return ::MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  const std::wstring backup = temporary + L".old";
  if (::ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    ::DeleteFileW(backup.c_str());
    return true;
  }
  // The old file was moved to the backup name but the new one could not follow: put it back.
  if (::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
    ::MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  return false;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const char* path, std::size_t largest) {
  if (!path) return std::nullopt;
  const std::optional<std::wstring> wide = WidePath(path);
  if (!wide || wide->empty()) return std::nullopt;
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS, so it is refused here.
  const Handle file(Open(*wide, GENERIC_READ, OPEN_EXISTING));
  if (!file.valid()) return std::nullopt;
  // Only a file on a disk: a pipe or a device such as CON or NUL is no text.
  LARGE_INTEGER size{};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.get(), &size) ||
      static_cast<unsigned long long>(size.QuadPart) > largest)
    return std::nullopt;
  return ReadToEnd(file.get(), largest);
}

bool ReplaceFile(const char* path, std::string_view content) {
  if (!path || !*path) return false;
  const std::optional<std::wstring> wide = WidePath(path);
  if (!wide) return false;
  const std::wstring target = ResolveLink(*wide);
  const SystemDWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // Folders and devices are never replaced; nor is a file that the user may not write to (the
  // read-only attribute or its security refuses a handle for writing).
  if (exists) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    const Handle writable(Open(target, GENERIC_WRITE, OPEN_EXISTING));
    if (!writable.valid() || ::GetFileType(writable.get()) != FILE_TYPE_DISK) return false;
  }

  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryNameBeside(target, attempt);
    created = Open(temporary, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    if (created != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  Handle file(created);
  if (!file.valid()) {
    const bool folderRefuses = ::GetLastError() == ERROR_ACCESS_DENIED;
    return exists && folderRefuses && WriteInPlace(target, content);
  }
  const bool written = WriteFlushAndCompare(file.get(), content);
  if (file.Close() && written && TakeThePlaceOf(target, temporary, exists)) return true;
  ::DeleteFileW(temporary.c_str());
  return false;
}

bool FileExists(const char* path) {
  if (!path) return false;
  const std::optional<std::wstring> wide = WidePath(path);
  return wide && !wide->empty() && ::GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace platform
