#include "platform/CWinApp.h"

namespace {
CWinApp* g_application = nullptr;
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName ? appName : "") {
  g_application = this;
}

CWinApp::~CWinApp() {
  if (g_application == this) g_application = nullptr;
}

bool CWinApp::InitInstance() { return false; }

const platform::CommandLineSyntax& CWinApp::GetCommandLineSyntax() const {
  static const platform::CommandLineSyntax kNothingMore;
  return kNothingMore;
}

CWinApp* AfxGetApp() { return g_application; }

const char* AfxGetAppName() { return g_application ? g_application->m_pszAppName : ""; }
