// The file operations the tool needs of the system: reading a whole file, replacing one without
// risking the old content, and asking whether a name is taken. Paths are byte strings in the
// file system's encoding, used as they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The file's bytes, or nothing when it can't be opened or read (a missing file, a folder, no
// permission, an I/O error), when it is no regular file (a pipe, a device; a pipe with no writer
// is refused at once rather than waited on) or when it holds more than `largest` bytes.
std::optional<std::string> ReadWholeFile(const char* path, std::size_t largest);

// Writes `content` as the whole file at `path`, so that a failed write never costs the user the
// file that was there: the new content goes to a temporary file beside it, is flushed to the disk
// and checked, and only then takes the old file's name. False when any byte could not be written
// or flushed, or the file can't be created; the file that was there is then unchanged. A new file
// keeps the old one's permissions (and owner, where allowed). A symbolic link is followed: the
// file it names is replaced, the link stays. Folders and devices are never replaced, nor files
// the user may not write to. Only when the folder refuses a temporary file but the file itself is
// writable is the file overwritten in place, which a failure part-way can leave damaged.
bool ReplaceFile(const char* path, std::string_view content);

// Whether something (a file, a folder, ...) exists under this name; a link counts when what it
// names exists.
bool FileExists(const char* path);

}  // namespace platform
