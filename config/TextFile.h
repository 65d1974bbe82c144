// Reads a whole text file as the tool's formats expect it: CR LF line ends become LF, as a
// text-mode read does, and a UTF-8 byte-order mark at the start is dropped, so that files written
// on other systems parse like ours.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace config {

// No configuration or saved-settings file comes near this size; a larger file is refused rather
// than read into memory whole.
constexpr std::size_t kLargestTextFile = 64 * 1024 * 1024;

// The file's text, or nothing when it can't be opened or read (a missing file, a directory, no
// permission, an I/O error), when it is no regular file (a pipe, a device) or when it is larger
// than kLargestTextFile. The path is used byte for byte, in whatever encoding its names have.
std::optional<std::string> ReadTextFile(const char* path);

// The same conversion on text already in memory.
std::string ToTextMode(std::string bytes);

}  // namespace config
