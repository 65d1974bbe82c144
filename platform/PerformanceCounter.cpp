#include "platform/PerformanceCounter.h"

#include <chrono>

#include "platform/MessagePump.h"

namespace platform {

namespace {

class SteadyClock : public CounterSource {
 public:
  std::int64_t Count() override {
    return std::chrono::steady_clock::now().time_since_epoch().count();
  }
  std::int64_t Frequency() override {
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
  }
  void WaitFor(std::int64_t microseconds) override { BlockForMessage(microseconds); }
};

SteadyClock g_steadyClock;
CounterSource* g_counterSource = &g_steadyClock;

}  // namespace

void SetCounterSource(CounterSource* source) { g_counterSource = source ? source : &g_steadyClock; }

void WaitForMessageOrTimeout(std::int64_t microseconds) { g_counterSource->WaitFor(microseconds); }

std::int64_t ElapsedMicroseconds(std::int64_t from, std::int64_t to, std::int64_t frequency) {
  constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
  // Whole seconds first, then the remainder: delta * 1000000 alone overflows after a few hours
  // at a nanosecond frequency.
  const std::int64_t delta = to - from;
  return delta / frequency * kMicrosecondsPerSecond +
         delta % frequency * kMicrosecondsPerSecond / frequency;
}

}  // namespace platform

bool QueryPerformanceCounter(std::int64_t* count) {
  *count = platform::g_counterSource->Count();
  return true;
}

bool QueryPerformanceFrequency(std::int64_t* frequency) {
  *frequency = platform::g_counterSource->Frequency();
  return *frequency > 0;
}
