#include "config/Setting.h"

#include <cstring>
#include <string>

#include "platform/CWnd.h"
#include "res/resource.h"

namespace {
constexpr int kByteKind = 1;
}  // namespace

int CSetting::GetKind() const { return 0; }

int CSetting::GetValue() { return m_value; }

void CSetting::SetId(const char* id) { config::CopyText(m_id, id); }

void CSetting::SetLabel(const char* label) { config::CopyText(m_label, label); }

void CSetting::SetValue(int value) { m_value = value; }

bool CSetting::IsId(const char* id) const { return std::strcmp(m_id, id) == 0; }

void CSetting::CopyFrom(const CSetting& other) {
  config::CopyText(m_id, other.m_id);
  config::CopyText(m_label, other.m_label);
}

void CSetting::CreateControls(CWnd*) {}

void CSetting::Layout(int, int, int, int*) {}

void CSetting::Read(std::istream& in) {
  config::TextBuffer ownId;  // the line's first word is this setting's own id
  config::TextBuffer value;
  config::ReadWord(in, ownId);
  if (config::ReadQuotedValue(in, value)) SetValue(config::ToInteger(value));
}

void CSetting::Write(std::ostream& out) {
  GetValue();
  out << m_id << " \"" << m_value << '"' << std::endl;
}

int CByteSetting::GetKind() const { return kByteKind; }

int CByteSetting::GetValue() {
  if (!m_editBox) return 0;
  CString text;
  m_editBox->GetWindowText(text);
  m_value = config::ToInteger(text.c_str());
  return m_value;
}

void CByteSetting::SetValue(int value) {
  m_value = value;
  if (m_editBox) m_editBox->SetWindowText(std::to_string(value).c_str());
}

void CByteSetting::CreateControls(CWnd* parent) {
  const RECT none{};
  m_labelControl = std::make_unique<CStatic>();
  m_labelControl->Create(m_label, WS_CHILD | WS_VISIBLE, none, parent, IDC_STATIC);
  m_editBox = std::make_unique<CEdit>();
  // A tab stop: the form is the tool's only input, and a person without a mouse reaches it with
  // Tab.
  m_editBox->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, none, parent, IDC_SETTING_EDIT);
}

void CByteSetting::Layout(int x, int y, int width, int* nextY) {
  *nextY += 20;
  if (m_labelControl) m_labelControl->MoveWindow(x, y, width - 70, 20, true);
  if (m_editBox) m_editBox->MoveWindow(width - 60, y, 50, 20, true);
}
