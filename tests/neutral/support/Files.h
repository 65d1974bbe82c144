// What the suites both builds run share about files: a temporary folder of the test's own, and
// whole files written and read as bytes. Standard C++ only, so that it builds for every backend.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace neutral {

// A new, empty folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // `name` in the folder, as the UTF-8 bytes the platform layer takes paths in.
  std::string FilePath(std::string_view name) const;

 private:
  std::filesystem::path m_path;
};

// The UTF-8 bytes of a path, as the platform layer takes it, and back.
std::string Utf8(const std::filesystem::path& path);
std::filesystem::path FromUtf8(const std::string& utf8);

// The names in a folder (hidden ones included), sorted; none when it can't be listed.
std::vector<std::string> Entries(const std::filesystem::path& folder);

// Writes `bytes` as the whole file (binary); true when every byte reached it.
bool WriteFile(const std::filesystem::path& path, std::string_view bytes);
bool WriteFile(const std::string& utf8Path, std::string_view bytes);

// The whole file's bytes, or "<unreadable>".
std::string ReadFile(const std::filesystem::path& path);
std::string ReadFile(const std::string& utf8Path);

}  // namespace neutral
