#include "platform/PerformanceCounter.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/MessagePump.h"

namespace platform {

namespace {

// The system's own performance counter. Its frequency is fixed at boot, so it is read once.
class SystemCounter : public CounterSource {
 public:
  std::int64_t Count() override {
    LARGE_INTEGER count{};
    ::QueryPerformanceCounter(&count);
    return count.QuadPart;
  }
  std::int64_t Frequency() override {
    static const std::int64_t frequency = [] {
      LARGE_INTEGER value{};
      return ::QueryPerformanceFrequency(&value) ? value.QuadPart : 0;
    }();
    return frequency;
  }
  void WaitFor(std::int64_t microseconds) override { BlockForMessage(microseconds); }
};

SystemCounter g_systemCounter;
CounterSource* g_source = &g_systemCounter;

}  // namespace

void SetCounterSource(CounterSource* source) { g_source = source ? source : &g_systemCounter; }

void WaitForMessageOrTimeout(std::int64_t microseconds) { g_source->WaitFor(microseconds); }

std::int64_t ElapsedMicroseconds(std::int64_t from, std::int64_t to, std::int64_t frequency) {
  constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
  // Whole seconds first, then the remainder: delta * 1000000 alone overflows after some hours
  // at a 1 GHz frequency (and after days at the usual 10 MHz).
  const std::int64_t delta = to - from;
  return delta / frequency * kMicrosecondsPerSecond +
         delta % frequency * kMicrosecondsPerSecond / frequency;
}

}  // namespace platform

bool QueryPerformanceCounter(std::int64_t* count) {
  *count = platform::g_source->Count();
  return true;
}

bool QueryPerformanceFrequency(std::int64_t* frequency) {
  *frequency = platform::g_source->Frequency();
  return *frequency > 0;
}
