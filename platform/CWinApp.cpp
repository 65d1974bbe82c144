#include "platform/CWinApp.h"

namespace {
CWinApp* g_application = nullptr;
}

CWinApp::CWinApp() { g_application = this; }

CWinApp::~CWinApp() {
  if (g_application == this) g_application = nullptr;
}

bool CWinApp::InitInstance() { return false; }

CWinApp* AfxGetApp() { return g_application; }
