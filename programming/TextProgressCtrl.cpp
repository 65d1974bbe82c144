#include "programming/TextProgressCtrl.h"

#include <cstdint>

#include "platform/CDC.h"
#include "platform/CRgn.h"

namespace {

constexpr COLORREF kBarColour = 0xFF0000;  // pure blue
constexpr COLORREF kTextOverBackground = 0x000000;
constexpr COLORREF kTextOverBar = 0xFFFFFF;

}  // namespace

void CTextProgressCtrl::OnPaint() {
  CPaintDC dc(this);

  const int position = GetPos();
  int lower = 0;
  int upper = 0;
  GetRange(lower, upper);
  // The fraction done, divided in double and kept in single precision: the bar's edge lands
  // where it always has, e.g. 7 of 10 on 100 pixels fills 69 of them, not 70. An empty range
  // shows nothing done.
  const float done = upper == lower
                         ? 0.0f
                         : static_cast<float>(static_cast<double>(std::int64_t{position} - lower) /
                                              static_cast<double>(std::int64_t{upper} - lower));

  RECT client;
  GetClientRect(&client);
  RECT filled = client;
  filled.right = static_cast<int>(static_cast<double>(client.right) * static_cast<double>(done));
  dc.FillSolidRect(&filled, kBarColour);  // the rest keeps the erased background

  CString text;
  GetWindowText(text);
  if (text.empty()) return;
  const auto length = static_cast<int>(text.size());
  SIZE extent{};  // zero where the measuring fails
  dc.GetTextExtentPoint32(text.c_str(), length, &extent);
  // Centred; a text wider or taller than the bar starts before it and is cut at both ends.
  const int x = client.left + (client.right - client.left - extent.cx) / 2;
  const int y = client.top + (client.bottom - client.top - extent.cy) / 2;
  dc.SetBkMode(TRANSPARENT);

  // The whole text in black, then again in white clipped to the bar, so the colour changes at
  // the bar's edge.
  CRgn whole;
  whole.CreateRectRgn(client.left, client.top, client.right, client.bottom);
  dc.SelectClipRgn(&whole);
  dc.SetTextColor(kTextOverBackground);
  dc.ExtTextOut(x, y, ETO_CLIPPED, &client, text.c_str(), static_cast<UINT>(length), nullptr);
  whole.DeleteObject();

  CRgn bar;
  bar.CreateRectRgn(filled.left, filled.top, filled.right, filled.bottom);
  dc.SelectClipRgn(&bar);
  dc.SetTextColor(kTextOverBar);
  dc.ExtTextOut(x, y, ETO_CLIPPED, &filled, text.c_str(), static_cast<UINT>(length), nullptr);
  bar.DeleteObject();
}
