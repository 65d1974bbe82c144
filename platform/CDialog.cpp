// The modal run of CDialog, the same on every backend: the template is looked up, the first
// dialog without an owner is the application's main window and owns every later one, and the
// backend builds and runs the window (platform/Backend.h).
#include "platform/CDialog.h"

#include "platform/Backend.h"
#include "platform/DialogTemplate.h"

namespace {
// The application's main window while it runs.
CDialog* g_mainWindow = nullptr;
}  // namespace

CDialog::CDialog(int templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
  m_run.reset();
  DestroyWindow();
}

int CDialog::DoModal() {
  const platform::DialogTemplate* dialogTemplate = platform::FindDialogTemplate(m_templateId);
  if (!dialogTemplate) return -1;  // as the platform does for a missing template
  // A dialog made with no owner is owned by the main window; with no main window yet, it is the
  // main window.
  CWnd* owner = m_parent ? m_parent : g_mainWindow;
  const bool isMainWindow = !owner;
  if (isMainWindow) g_mainWindow = this;
  m_run = platform::backend::StartModalRun(*this);
  const int result = m_run->Run(*dialogTemplate, owner, isMainWindow);
  m_run.reset();
  DestroyWindow();
  if (g_mainWindow == this) g_mainWindow = nullptr;
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_run) m_run->End(result);
}

bool CDialog::SendPaint() {
  const MessageMapEntry* entry = FindEntry(WM_PAINT, 0);
  if (!entry) return false;
  (this->*(entry->handler))();
  return true;
}

namespace platform {

// As the platform does when OnInitDialog returns true: the first tab stop in the dialog's order,
// controls created at run time included, takes the keyboard focus.
void InitializeDialog(CDialog& dialog, backend::ModalRun& run) {
  const bool focusFirst = dialog.OnInitDialog();
  run.GrowToFitTexts();
  if (focusFirst) run.FocusFirstTabStop();
}

}  // namespace platform
