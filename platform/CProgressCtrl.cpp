// The progress bar's range and position, and its plain painting, the same on every backend; the
// backend makes the window and repaints it when they change.
#include "platform/CProgressCtrl.h"

#include <algorithm>
#include <cstdint>

#include "platform/Backend.h"
#include "platform/CDC.h"

void CProgressCtrl::SetRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
  m_position = std::clamp(m_position, std::min(lower, upper), std::max(lower, upper));
  platform::backend::ProgressChanged(*this);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  lower = m_lower;
  upper = m_upper;
}

int CProgressCtrl::SetPos(int position) {
  const int previous = m_position;
  m_position = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
  if (m_position != previous) platform::backend::ProgressChanged(*this);
  return previous;
}

int CProgressCtrl::GetPos() const { return m_position; }

void CProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  if (m_upper == m_lower) return;
  RECT filled;
  GetClientRect(&filled);
  const std::int64_t done = std::int64_t{m_position} - m_lower;
  filled.right = static_cast<int>(filled.right * done / (std::int64_t{m_upper} - m_lower));
  dc.FillSolidRect(&filled, RGB(0, 120, 215));
}
