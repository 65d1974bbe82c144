// Runs the real programming dialog over a 20-byte packet with the real counter, and measures when
// each swap was requested: the timestamp the transmit loop took just before the tick that swapped.
// With --wait-for FILE it first prints where the panels are on screen ("PANELS lx ly rx ry") and
// waits for FILE to appear (an outside sampler is ready), so both levels can be measured at once.
// With --record FILE it writes each swap's request time (nanoseconds on the steady clock, which is
// CLOCK_MONOTONIC) and the nominal interval that follows it (microseconds), one swap per line.
// With --counter-only the run is timed by the counter alone even where the display's frames are
// known, as the tool did before it planned for frames; either way it prints "FRAMES" with how
// many frames the backend reported and their median spacing (0 where it knows none).
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/FrameClock.h"
#include "platform/MessagePump.h"
#include "platform/PerformanceCounter.h"
#include "platform/qt/QtWindows.h"
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"
#include "res/resource.h"
#include "res/templates.h"

namespace {

constexpr int kZero = OPTICAL_ZERO_BIT_US, kOne = OPTICAL_ONE_BIT_US, kStart = OPTICAL_START_US;

// The steady clock, noting the previous reading whenever the panels have swapped since: that
// reading is the timestamp taken just before the swapping tick.
class RecordingClock : public platform::CounterSource {
 public:
  explicit RecordingClock(const CProgramDlg& dialog) : m_dialog(dialog) {}
  std::int64_t Count() override {
    const std::int64_t now = std::chrono::steady_clock::now().time_since_epoch().count();
    if (m_dialog.GetLeftColour() != m_left && !m_dialog.IsStopped()) swaps.push_back(m_previous);
    m_left = m_dialog.GetLeftColour();
    m_previous = now;
    return now;
  }
  std::int64_t Frequency() override { return 1'000'000'000; }
  void WaitFor(std::int64_t microseconds) override { platform::BlockForMessage(microseconds); }
  std::vector<std::int64_t> swaps;  // nanoseconds

 private:
  const CProgramDlg& m_dialog;
  COLORREF m_left = CProgramDlg::kBlack;
  std::int64_t m_previous = 0;
};

// The backend's frame clock, or none with --counter-only, noting every new frame it reports.
class ObservedFrames : public platform::FrameClockSource {
 public:
  explicit ObservedFrames(bool counterOnly) : m_counterOnly(counterOnly) {}
  std::unique_ptr<platform::FrameClock> Follow(CWnd& window) override {
    auto clock = platform::FollowBackendFrames(window);
    m_known = clock != nullptr;
    if (!clock || m_counterOnly) return nullptr;
    return std::make_unique<Noting>(std::move(clock), m_frames);
  }
  void Print() const {
    std::vector<std::int64_t> spacings;
    for (std::size_t i = 1; i < m_frames.size(); ++i)
      spacings.push_back(m_frames[i].count - m_frames[i - 1].count);
    std::sort(spacings.begin(), spacings.end());
    std::printf("FRAMES known=%d used=%d seen=%zu median_period_us=%.1f\n", m_known ? 1 : 0,
                m_known && !m_counterOnly ? 1 : 0, m_frames.size(),
                spacings.empty() ? 0.0 : spacings[spacings.size() / 2] / 1000.0);
  }

 private:
  class Noting : public platform::FrameClock {
   public:
    Noting(std::unique_ptr<platform::FrameClock> clock, std::vector<platform::Frame>& frames)
        : m_clock(std::move(clock)), m_frames(frames) {}
    bool LatestFrame(platform::Frame* frame) override {
      if (!m_clock->LatestFrame(frame)) return false;
      if (m_frames.empty() || m_frames.back().number != frame->number) m_frames.push_back(*frame);
      return true;
    }

   private:
    std::unique_ptr<platform::FrameClock> m_clock;
    std::vector<platform::Frame>& m_frames;
  };

  bool m_counterOnly;
  bool m_known = false;
  std::vector<platform::Frame> m_frames;
};

std::vector<unsigned char> TwentyBytePacket() {
  std::vector<unsigned char> packet{OPTICAL_SYNC_BYTE, 17};
  for (int i = 0; i < 17; ++i) packet.push_back(static_cast<unsigned char>(i * 37 + 1));
  unsigned sum = 0;
  for (std::size_t i = 1; i < packet.size(); ++i) sum += packet[i];
  packet.push_back(static_cast<unsigned char>(sum));
  return packet;
}

// The nominal interval after each swap, from the packet: start symbol, eight bits, gap.
std::vector<std::int64_t> NominalIntervals(const std::vector<unsigned char>& packet) {
  std::vector<std::int64_t> nominal;
  for (unsigned char byte : packet) {
    nominal.push_back(kStart);
    for (int bit = 0; bit < 8; ++bit) nominal.push_back((byte >> bit & 1) ? kOne : kZero);
    nominal.push_back(kStart);
  }
  nominal.pop_back();  // nothing follows the last swap
  return nominal;
}

void Report(const std::vector<std::int64_t>& swapsNs, const std::vector<unsigned char>& packet) {
  const std::vector<std::int64_t> nominal = NominalIntervals(packet);
  if (swapsNs.size() != nominal.size() + 1) {
    std::printf("REQUEST swaps=%zu expected=%zu\n", swapsNs.size(), nominal.size() + 1);
    return;
  }
  std::vector<double> errorsUs;
  std::int64_t idealNs = 0;
  for (std::size_t i = 0; i < nominal.size(); ++i) {
    errorsUs.push_back(std::abs((swapsNs[i + 1] - swapsNs[i]) / 1000.0 - nominal[i]));
    idealNs += nominal[i] * 1000;
  }
  std::sort(errorsUs.begin(), errorsUs.end());
  const auto at = [&](double q) {
    return errorsUs[static_cast<std::size_t>(q * (errorsUs.size() - 1))];
  };
  const std::int64_t spanNs = swapsNs.back() - swapsNs.front();
  std::printf(
      "REQUEST swaps=%zu err_p50_us=%.1f err_p99_us=%.1f err_max_us=%.1f span_ms=%.3f "
      "ideal_ms=%.3f span_error_percent=%.4f\n",
      swapsNs.size(), at(0.5), at(0.99), errorsUs.back(), spanNs / 1e6, idealNs / 1e6,
      100.0 * (spanNs - idealNs) / idealNs);
}

bool Record(const QString& path, const std::vector<std::int64_t>& swapsNs,
            const std::vector<unsigned char>& packet) {
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "w");
  if (!file) return false;
  const std::vector<std::int64_t> nominal = NominalIntervals(packet);
  for (std::size_t i = 0; i < swapsNs.size(); ++i) {
    std::fprintf(file, "%lld %lld\n", static_cast<long long>(swapsNs[i]),
                 static_cast<long long>(i < nominal.size() ? nominal[i] : 0));
  }
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  platform::RegisterResources(res::ToolResources());
  const QStringList arguments = application.arguments();
  const int waitIndex = arguments.indexOf("--wait-for");
  const QString readyFile = waitIndex > 0 ? arguments.value(waitIndex + 1) : QString();
  const int recordIndex = arguments.indexOf("--record");
  const QString recordFile = recordIndex > 0 ? arguments.value(recordIndex + 1) : QString();

  const std::vector<unsigned char> packet = TwentyBytePacket();
  CProgramDlg dialog(IDD_PROGRAM, packet.data(), static_cast<int>(packet.size()), kZero, kOne,
                     kStart);
  RecordingClock clock(dialog);
  platform::SetCounterSource(&clock);
  ObservedFrames frames(arguments.contains("--counter-only"));
  platform::SetFrameClockSource(&frames);

  QTimer::singleShot(300, [&] {
    if (!readyFile.isEmpty()) {
      QWidget* client = platform::qt::ClientWidgetOf(dialog);
      RECT rect;
      dialog.GetClientRect(&rect);
      const int y = (70 + rect.bottom - 10) / 2;
      const QPoint left = client->mapToGlobal(QPoint((10 + rect.right / 2 - 2) / 2, y));
      const QPoint right =
          client->mapToGlobal(QPoint((rect.right / 2 + 2 + rect.right - 10) / 2, y));
      std::printf("PANELS %d %d %d %d\n", left.x(), left.y(), right.x(), right.y());
      std::fflush(stdout);
      // Events keep flowing meanwhile: on Wayland the dialog shows only once it has answered the
      // compositor, and the sampler may have to find the panels on screen first (on a loaded
      // machine that took more than 10 s: give it a minute).
      for (int i = 0; i < 6000 && !QFile::exists(readyFile); ++i) platform::BlockForMessage(10'000);
    }
    dialog.SendCommand(IDC_START);
    Report(clock.swaps, packet);
    frames.Print();
    if (!recordFile.isEmpty() && !Record(recordFile, clock.swaps, packet)) {
      std::fprintf(stderr, "cannot write %s\n", recordFile.toLocal8Bit().constData());
    }
    std::fflush(stdout);
    dialog.EndDialog(IDOK);
  });
  dialog.DoModal();
  platform::SetCounterSource(nullptr);
  platform::SetFrameClockSource(nullptr);
  return 0;
}
