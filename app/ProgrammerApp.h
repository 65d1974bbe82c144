// The application object: shows the main dialog and ends the process when it closes.
#pragma once

#include "platform/CWinApp.h"

class CProgrammerApp : public CWinApp {
 public:
  bool InitInstance() override;
};
