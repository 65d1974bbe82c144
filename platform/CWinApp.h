// The application object: one global instance, constructed before main runs. main owns the
// toolkit's application and calls InitInstance once; the process ends when it returns.
#pragma once

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();
  virtual bool InitInstance();
};

// The one application object, or null when the program defines none.
CWinApp* AfxGetApp();
