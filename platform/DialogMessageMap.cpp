// The message map of CDialog: which handler takes a command. The same on every backend.
#include "platform/CDialog.h"

namespace {

const CDialog::MessageMapEntry* FindIn(std::span<const CDialog::MessageMapEntry> map, UINT message,
                                       int id) {
  for (const auto& entry : map) {
    if (entry.message == message && entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace

std::span<const CDialog::MessageMapEntry> CDialog::GetMessageMap() const {
  static const MessageMapEntry kMap[] = {
      OnCommandEntry(IDOK, &CDialog::OnOK),
      OnCommandEntry(IDCANCEL, &CDialog::OnCancel),
  };
  return kMap;
}

const CDialog::MessageMapEntry* CDialog::FindEntry(UINT message, int id) const {
  if (const auto* entry = FindIn(GetMessageMap(), message, id)) return entry;
  return FindIn(CDialog::GetMessageMap(), message, id);
}

bool CDialog::SendCommand(int id) {
  const MessageMapEntry* entry = FindEntry(WM_COMMAND, id);
  if (!entry) return false;
  (this->*(entry->handler))();
  return true;
}

bool CDialog::OnInitDialog() { return true; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
