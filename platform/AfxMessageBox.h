// The framework's message box: the text, the application's name as caption, and an OK button.
#pragma once

#include "WinTypes.h"

// Shows `text` modally over the active window and returns the button that closed it (IDOK).
// Only MB_OK is offered; `helpId` is kept for the shape of the call.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
