// Whole files, as the configuration and the saved settings use them. Paths are the file system's
// bytes (UTF-8 on Windows); content is bytes, never translated.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The file's bytes, or nothing when it can't be opened or read, is no regular file, or is larger
// than `largest`.
std::optional<std::string> ReadWholeFile(const char* path, std::size_t largest);

// Replaces the file's content: written beside it, flushed to the disk, compared with what was
// meant, then put in its place. A failure at any point leaves the old file intact. A folder that
// takes no new file falls back to writing in place.
bool ReplaceFile(const char* path, std::string_view content);

// Whether anything (a file or a folder) is there.
bool FileExists(const char* path);

}  // namespace platform
