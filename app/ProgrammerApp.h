// The application object: shows the main dialog and ends the process when it closes.
#pragma once

#include "platform/CWinApp.h"

class CProgrammerApp : public CWinApp {
 public:
  // The name that captions the tool's message boxes.
  static constexpr const char* kAppName = "Universal Programmer";

  CProgrammerApp() : CWinApp(kAppName) {}
  bool InitInstance() override;
  const platform::CommandLineSyntax& GetCommandLineSyntax() const override;
};
