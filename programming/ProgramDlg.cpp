#include "programming/ProgramDlg.h"

#include <cstdio>

#include "platform/DialogKeys.h"
#include "platform/FrameClock.h"
#include "platform/MessagePump.h"
#include "platform/PerformanceCounter.h"
#include "platform/ThreadPriority.h"
#include "programming/TextProgressCtrl.h"
#include "programming/TickTimer.h"
#include "protocol/optical_protocol.h"
#include "res/resource.h"

namespace {

constexpr std::int64_t kCountdownStepMicroseconds = 1'000'000;
constexpr int kCountdownSeconds = OPTICAL_COUNTDOWN_SECONDS;

// Reads the counter as the loops measure time: microseconds since `timestamp`.
std::int64_t MicrosecondsSince(std::int64_t timestamp, std::int64_t frequency) {
  std::int64_t now = 0;
  QueryPerformanceCounter(&now);
  return platform::ElapsedMicroseconds(timestamp, now, frequency);
}

// Whether `due` microseconds have passed since `timestamp`. While more than the last stretch of
// the wait remains, it sleeps through it (waking for any message) instead of spinning: the loop
// then reads the counter at full speed only near the due time, and a busy machine does not
// preempt it for milliseconds at the moment a swap is due.
bool IsDue(std::int64_t timestamp, std::int64_t frequency, std::int64_t due) {
  constexpr std::int64_t kSpinMicroseconds = 2000;
  const std::int64_t remaining = due - MicrosecondsSince(timestamp, frequency);
  if (remaining <= 0) return true;
  if (remaining > kSpinMicroseconds) {
    platform::WaitForMessageOrTimeout(remaining - kSpinMicroseconds);
  }
  return false;
}

std::int64_t Timestamp() {
  std::int64_t now = 0;
  QueryPerformanceCounter(&now);
  return now;
}

}  // namespace

CProgramDlg::CProgramDlg(int templateId, const unsigned char* packet, int packetSize,
                         const int& zeroBitDuration, const int& oneBitDuration,
                         const int& startDuration)
    : CDialog(templateId),
      m_packet(packet),
      m_packetSize(packetSize),
      m_zeroBitDuration(zeroBitDuration),
      m_oneBitDuration(oneBitDuration),
      m_startDuration(startDuration) {}

CProgramDlg::~CProgramDlg() = default;

std::span<const CDialog::MessageMapEntry> CProgramDlg::GetMessageMap() const {
  static const MessageMapEntry kMap[] = {
      OnCommandEntry(IDC_START, &CProgramDlg::OnStart),
      OnCommandEntry(IDCANCEL, &CProgramDlg::OnCancel),
      OnPaintEntry(&CProgramDlg::OnPaint),
  };
  return kMap;
}

bool CProgramDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_startButton = GetDlgItem(IDC_START);
  m_doneButton = GetDlgItem(IDCANCEL);

  RECT client;
  GetClientRect(&client);
  const int width = client.right - client.left;
  m_progress = std::make_unique<CTextProgressCtrl>();
  m_progress->Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, width - 10, 35}, this, IDC_PROGRESS);
  m_progress->SetRange(0, OPTICAL_SWAPS_PER_BYTE * m_packetSize);
  m_progress->SetPos(0);
  m_progress->SetWindowText("Ready to program");  // not painted yet: no invalidation needed
  return true;
}

void CProgramDlg::SetStatusText(const char* text) {
  m_progress->SetWindowText(text);
  m_progress->Invalidate(true);  // only the erase clears the old text over the unfilled part
}

void CProgramDlg::SetProgressPosition(int position) { m_progress->SetPos(position); }

void CProgramDlg::OnStart() {
  std::int64_t frequency = 0;
  QueryPerformanceFrequency(&frequency);
  if (frequency <= 0) return;  // no usable counter: nothing can be timed, so nothing starts

  // The loops pump messages themselves; Tab, Enter and Escape are no dialog keys meanwhile.
  const platform::DialogKeySuspension noDialogKeys;
  // Every deadline from here on is a swap or a countdown step: be on the processor when it comes.
  const platform::TimeCriticalScope onTime;

  // Where the display shows frames, the run plans each swap for one; following them starts now,
  // so that their rhythm is known when the first swap is due.
  TickTimer ticks(frequency, platform::FollowFrames(*this));

  m_stopped = false;
  m_startButton->EnableWindow(false);
  m_doneButton->SetWindowText("Cancel");
  m_progress->SetWindowText("Starting in...3");
  SetProgressPosition(0);
  m_progress->Invalidate(true);

  m_wait = kCountdownSeconds;
  std::int64_t timestamp = Timestamp();
  bool countdownOver = false;
  while (!countdownOver && !m_stopped) {
    ticks.Observe();
    if (!platform::PeekAndDispatchMessage() &&
        IsDue(timestamp, frequency, kCountdownStepMicroseconds)) {
      timestamp = Timestamp();
      --m_wait;
      char text[32];
      std::snprintf(text, sizeof text, "Starting in...%d", m_wait);
      SetStatusText(text);
      countdownOver = m_wait == 0;
    }
  }

  if (m_stopped) {
    SetStatusText("Ready to program");
  } else {
    SetStatusText("Programming...");
    m_step = 0;
    m_byteIndex = 0;
    m_wait = 0;
    ticks.Start();
    while (!m_stopped) {
      if (platform::PeekAndDispatchMessage()) continue;
      // The wait is read as an unsigned 32-bit number, as the transmitter always has.
      const auto due = static_cast<std::int64_t>(static_cast<std::uint32_t>(m_wait));
      if (ticks.IsDue(due)) {
        // Each wait is timed from just before the swap that opens it.
        ticks.Ticked();
        const COLORREF left = m_leftColour;
        Advance();
        if (m_leftColour != left) ticks.Swapped(due);
        SetProgressPosition(m_byteIndex * OPTICAL_SWAPS_PER_BYTE + m_step);
      }
    }
    if (m_byteIndex != m_packetSize) {
      SetStatusText("Programming...Canceled");
    } else if (ticks.WorstIntervalError() >= LagLimit()) {
      // The whole packet went out, but not on time: a swap that showed this late makes the
      // device misread a symbol and drop the packet, so "Done" would claim what did not happen.
      SetStatusText("Programming...Screen lagged: try again");
    } else {
      SetStatusText("Programming...Done");
    }
    RestorePanelsAfterSilence(ticks.LastTick(), frequency);
  }
  m_startButton->EnableWindow(true);
  m_doneButton->SetWindowText("Done");
}

// A device tells a zero from a one by whether the interval is nearer the one duration or the
// other, so an interval off by half their difference is misread. Not less: a frame dropped on a
// 60 or 75 Hz display puts an interval 17 to 21 ms off, which a device still reads.
std::int64_t CProgramDlg::LagLimit() const {
  const std::int64_t difference = std::int64_t{m_oneBitDuration} - m_zeroBitDuration;
  return (difference < 0 ? -difference : difference) / 2;
}

void CProgramDlg::OnCancel() {
  if (m_stopped) {
    CDialog::OnCancel();
    return;
  }
  m_stopped = true;  // the loop in OnStart sees it after this message, ends, and puts back colours
}

// A run cancelled after an odd number of swaps leaves the panels swapped. Putting them back is a
// swap a device sees, and at once it would read as data: in the last wait of the checksum byte it
// even completes a valid packet while the run reports it was cancelled. So the panels hold still
// for an idle silence first (twice the one-bit duration ends any packet in a receiver), plus one
// start duration so that a frame's delay of the last swap cannot shorten the silence below idle.
// The device then sees a cut-off packet, and the restoring swap alone after it: never data.
void CProgramDlg::RestorePanelsAfterSilence(std::int64_t lastSwap, std::int64_t frequency) {
  if (m_leftColour == kBlack) return;
  const std::int64_t silence = 2 * static_cast<std::int64_t>(m_oneBitDuration) + m_startDuration;
  while (!IsDue(lastSwap, frequency, silence)) platform::PeekAndDispatchMessage();
  m_leftColour = kBlack;
  m_rightColour = kWhite;
  Invalidate(true);
}
