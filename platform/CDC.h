// A paint context: fills and frames rectangles and draws text through the backend's painter, with a
// text colour, a background mode and a clip region as the tool's painting code expects them.
// Rectangles have left and top inside, right and bottom outside; an empty or negative one draws
// nothing. CPaintDC is the one to paint a window with, inside its paint event.
#pragma once

#include <memory>

#include "platform/WinTypes.h"

class CBrush;
class CRgn;
class CWnd;

class CDC {
 public:
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC();

  void FillSolidRect(const RECT* rect, COLORREF colour);
  void FillRect(const RECT* rect, CBrush* brush);
  // A 1-pixel frame on the rectangle's outermost pixels.
  void FrameRect(const RECT* rect, CBrush* brush);

  // TRANSPARENT or OPAQUE (text cells filled white first); returns the previous mode.
  int SetBkMode(int mode);
  // Returns the previous colour.
  COLORREF SetTextColor(COLORREF colour);
  // Clips all later drawing to `region`; null removes the clip region. Returns NULLREGION when
  // nothing can be drawn any more, else SIMPLEREGION; 0 for a region never created.
  int SelectClipRgn(CRgn* region);

  // Draws `count` bytes of `text` with the top-left corner of its cells at (x, y), in the
  // context's font and text colour; with ETO_CLIPPED, also clipped to `rect`. Per-character
  // spacing is not offered: `dx` must be null.
  bool ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                  const int* dx);
  // Width: the text's advance; height: the font's line height.
  bool GetTextExtentPoint32(const char* text, int count, SIZE* size);

 protected:
  CDC();

  // The backend's painting state, defined by each backend: set up by the subclass on its device;
  // while it is not set up, nothing is drawn.
  struct Impl;
  std::unique_ptr<Impl> m_impl;

 private:
  int m_bkMode = OPAQUE;
  COLORREF m_textColour = 0x000000;
};

// Paints a window's client area from inside its paint event, in the window's font.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC() override;
};
