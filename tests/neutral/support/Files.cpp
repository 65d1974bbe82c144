#include "tests/neutral/support/Files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>

namespace neutral {

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    m_path = base / ("up-test-" + std::to_string(tick) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(m_path)) return;
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::FilePath(std::string_view name) const {
  return Utf8(m_path) + "/" + std::string(name);
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string bytes = path.u8string();
  return std::string(bytes.begin(), bytes.end());
}

std::filesystem::path FromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error))
    names.push_back(Utf8(entry->path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.flush();
  return file.good();
}

bool WriteFile(const std::string& utf8Path, std::string_view bytes) {
  return WriteFile(FromUtf8(utf8Path), bytes);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "<unreadable>";
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReadFile(const std::string& utf8Path) { return ReadFile(FromUtf8(utf8Path)); }

}  // namespace neutral
