// Replaces a file's content so that a failed write never costs the user the file that was there:
// the new content goes to a temporary file beside it, is flushed to the disk and checked, and only
// then takes the old file's name. A full disk or an I/O error leaves the old file as it was.
#pragma once

#include <string_view>

namespace config {

// Writes `content` as the whole file at `path`. False when any byte could not be written or
// flushed, or the file can't be created; the file that was there is then unchanged. A new file
// keeps the old one's permissions. A symbolic link is followed: the file it names is replaced,
// the link stays. Only when the folder refuses a temporary file but the file itself is writable
// is the file overwritten in place, which a failure part-way can leave damaged.
bool WriteFileSafely(const char* path, std::string_view content);

}  // namespace config
