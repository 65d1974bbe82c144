// The file dialog's filter as the system's dialogs take it.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// "Text (*.txt)|*.txt;*.log|All Files(*.*)|*.*||" becomes the same pairs separated by NULs and
// ended by two: the form the system's file dialogs read. The first empty part ends the list, as
// the "||" at its end does, and a last description without its patterns is dropped.
std::wstring ToFilterPairs(std::string_view filter);

}  // namespace platform::win32
