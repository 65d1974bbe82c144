// The file dialog's filter in the form the browser's file picker takes.
#pragma once

#include "platform/CString.h"

namespace platform::web {

// The patterns of the filter's first entry (the one a desktop dialog starts with) as the picker's
// accept list: "Text (*.txt)|*.txt;*.log|All Files(*.*)|*.*||" gives ".txt,.log". A pattern that
// takes every file ("*.*", "*") or one the picker can't express ("data*.txt") leaves the list
// empty: any file may be picked. The picker offers every file besides, as "All Files" would.
CString AcceptListOf(const CString& filter);

// A name the user gave or picked, as a file name of the page's file system: no folders, no
// surrounding blanks. Empty when nothing is left.
CString PlainFileName(const CString& name);

}  // namespace platform::web
