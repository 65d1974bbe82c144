// The file dialog's filter in the toolkit's form.
#pragma once

#include <QStringList>

namespace platform::qt {

// "Text (*.txt)|*.txt;*.log|All Files(*.*)|*.*||" becomes "Text (*.txt *.log)" and "All Files (*)":
// the description without its own parenthesised patterns, then the patterns as the toolkit reads
// them. "*.*", which means every file on the platform, becomes "*".
QStringList ToNameFilters(const char* filter);

}  // namespace platform::qt
