// The programming run's progress bar: a blue bar growing from the left, with the window text
// centred on it, black over the empty part and white over the bar, changing colour exactly at the
// bar's edge, even inside a letter. The owner changes the text with SetWindowText and then
// Invalidate.
#pragma once

#include "platform/CProgressCtrl.h"

class CTextProgressCtrl : public CProgressCtrl {
 public:
  void OnPaint() override;
};
