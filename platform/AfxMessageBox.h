// The framework's message box: the text, the application's name (AfxGetAppName) as caption, and
// OK or Yes/No.
#pragma once

#include "platform/WinTypes.h"

// Shows `text` modally over the active window and returns the button that closed it: IDOK for
// MB_OK; IDYES or IDNO for MB_YESNO (closing the box answers No). `helpId` is kept for the shape
// of the call.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
