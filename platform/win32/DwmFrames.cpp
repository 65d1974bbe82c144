#include "platform/win32/DwmFrames.h"

#include "platform/PerformanceCounter.h"

namespace platform::win32 {

namespace {

bool ReadSystemTiming(DWM_TIMING_INFO* info) {
  *info = DWM_TIMING_INFO{};
  info->cbSize = sizeof *info;
  // No window: the desktop's composition, the only one there is since Windows 8.1.
  return SUCCEEDED(::DwmGetCompositionTimingInfo(nullptr, info));
}

QpcReading ReadSystemQpc() {
  LARGE_INTEGER count{}, frequency{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&count);
  return {count.QuadPart, frequency.QuadPart};
}

// `value` units of `from` per second as units of `to` per second, for values under a second or
// so (no overflow below about 900 s at nanosecond frequencies).
std::int64_t Rescale(std::int64_t value, std::int64_t from, std::int64_t to) {
  return value / from * to + value % from * to / from;
}

}  // namespace

bool FrameFromDwmTiming(const DWM_TIMING_INFO& info, QpcReading qpcNow, std::int64_t counterNow,
                        std::int64_t counterFrequency, Frame* frame) {
  if (qpcNow.frequency <= 0 || counterFrequency <= 0) return false;
  if (info.cRefresh == 0 || info.qpcVBlank == 0 || info.qpcRefreshPeriod == 0) return false;
  const auto vblank = static_cast<std::int64_t>(info.qpcVBlank);
  const auto period = static_cast<std::int64_t>(info.qpcRefreshPeriod);
  // The latest vertical blank is less than a period from now; a second either way is a clock
  // that means something else.
  const std::int64_t fromNow = vblank - qpcNow.count;
  if (fromNow > qpcNow.frequency || fromNow < -qpcNow.frequency) return false;
  if (period > qpcNow.frequency) return false;
  frame->number = info.cRefresh;
  frame->count = counterNow + Rescale(fromNow, qpcNow.frequency, counterFrequency);
  frame->period = Rescale(period, qpcNow.frequency, counterFrequency);
  return true;
}

DwmFrameClock::DwmFrameClock(TimingReader readTiming, QpcReader readQpc)
    : m_readTiming(readTiming ? std::move(readTiming) : TimingReader(ReadSystemTiming)),
      m_readQpc(readQpc ? std::move(readQpc) : QpcReader(ReadSystemQpc)) {}

bool DwmFrameClock::LatestFrame(Frame* frame) {
  DWM_TIMING_INFO info{};
  if (!m_readTiming(&info)) return false;
  const QpcReading qpc = m_readQpc();
  std::int64_t counter = 0, counterFrequency = 0;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&counterFrequency);
  return FrameFromDwmTiming(info, qpc, counter, counterFrequency, frame);
}

}  // namespace platform::win32
