// The application object: one global instance, constructed before main runs. main owns the
// toolkit's application and calls InitInstance once; the process ends when it returns.
#pragma once

#include "platform/CommandLine.h"

class CWinApp {
 public:
  // `appName` captions the message boxes (AfxGetAppName); static text, not copied.
  explicit CWinApp(const char* appName = nullptr);
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();
  virtual bool InitInstance();

  // What the program takes on its command line; by default nothing but --help and --version.
  virtual const platform::CommandLineSyntax& GetCommandLineSyntax() const;

  const char* m_pszAppName;  // the application's name, never null
  // What the command line asked for: the entry reads it before InitInstance.
  platform::CCommandLineInfo m_cmdInfo;
};

// The one application object, or null when the program defines none.
CWinApp* AfxGetApp();

// The application object's name; empty when there is no application object or it has no name.
const char* AfxGetAppName();
