// The programming dialog: a progress bar that is also the status line, Start, Done (Cancel while
// busy) and two flash panels. Start counts down three seconds, then transmits the packet by
// swapping the panel colours on time, pumping messages itself between ticks. The dialog also
// holds the flash sequencer: Advance decides each swap and the next wait, and never reads a clock.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/CDialog.h"
#include "platform/WinTypes.h"

class CTextProgressCtrl;

class CProgramDlg : public CDialog {
 public:
  static constexpr COLORREF kBlack = 0x000000;
  static constexpr COLORREF kWhite = 0xFFFFFF;

  // The packet is not copied: the caller keeps it alive for the dialog's whole life.
  CProgramDlg(int templateId, const unsigned char* packet, int packetSize,
              const int& zeroBitDuration, const int& oneBitDuration, const int& startDuration);
  ~CProgramDlg() override;

  bool OnInitDialog() override;
  void OnCancel() override;
  void OnStart();
  void OnPaint();

  // The flash sequencer: one tick of the state machine, and the swap it makes.
  void Advance();
  void SwapColours();

  // The state, as tests and the painting read it.
  bool IsStopped() const { return m_stopped; }
  COLORREF GetLeftColour() const { return m_leftColour; }
  COLORREF GetRightColour() const { return m_rightColour; }
  int GetByteIndex() const { return m_byteIndex; }
  int GetStep() const { return m_step; }
  int GetWait() const { return m_wait; }
  CTextProgressCtrl* GetProgressCtrl() const { return m_progress.get(); }

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;

 private:
  void SetStatusText(const char* text);
  void SetProgressPosition(int position);
  void RestorePanelsAfterSilence(std::int64_t lastSwap, std::int64_t frequency);
  // How far off its wait an interval between swaps makes the run count as late.
  std::int64_t LagLimit() const;

  bool m_stopped = true;
  COLORREF m_leftColour = kBlack;
  COLORREF m_rightColour = kWhite;
  CWnd* m_startButton = nullptr;
  CWnd* m_doneButton = nullptr;
  std::unique_ptr<CTextProgressCtrl> m_progress;
  const unsigned char* m_packet;
  int m_packetSize;
  int m_byteIndex = 0;
  int m_step = 0;
  int m_wait = 0;  // during the countdown: the remaining count
  int m_zeroBitDuration;
  int m_oneBitDuration;
  int m_startDuration;
};
