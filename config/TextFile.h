// Reads a whole text file as the tool's formats expect it: CR LF line ends become LF, as a
// text-mode read does, and a UTF-8 byte-order mark at the start is dropped, so that files written
// on other systems parse like ours.
#pragma once

#include <optional>
#include <string>

namespace config {

// The file's text, or nothing when it can't be opened or read (a missing file, a directory, no
// permission, an I/O error).
std::optional<std::string> ReadTextFile(const char* path);

// The same conversion on text already in memory.
std::string ToTextMode(std::string bytes);

}  // namespace config
