// The application object: one global instance, constructed before main runs. main owns the
// toolkit's application and calls InitInstance once; the process ends when it returns.
#pragma once

class CWinApp {
 public:
  // `appName` captions the message boxes (AfxGetAppName); static text, not copied.
  explicit CWinApp(const char* appName = nullptr);
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();
  virtual bool InitInstance();

  const char* m_pszAppName;  // the application's name, never null
};

// The one application object, or null when the program defines none.
CWinApp* AfxGetApp();

// The application object's name; empty when there is no application object or it has no name.
const char* AfxGetAppName();
