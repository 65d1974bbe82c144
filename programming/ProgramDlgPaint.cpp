// The flash panels: two rectangles below the progress bar, filled with the sequencer's colours.
#include "platform/CBrush.h"
#include "platform/CDC.h"
#include "programming/ProgramDlg.h"

namespace {

void PaintPanel(CDC& dc, const RECT& panel, COLORREF colour) {
  CBrush fill(colour);
  dc.FillRect(&panel, &fill);
  fill.DeleteObject();
  CBrush frame(CProgramDlg::kBlack);
  dc.FrameRect(&panel, &frame);
  frame.DeleteObject();
}

}  // namespace

void CProgramDlg::OnPaint() {
  CPaintDC dc(this);
  RECT client;
  GetClientRect(&client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  PaintPanel(dc, RECT{10, 70, width / 2 - 2, height - 10}, m_leftColour);
  PaintPanel(dc, RECT{width / 2 + 2, 70, width - 10, height - 10}, m_rightColour);
}
