#include "platform/qt/ui_stall_probe.h"

#include <cstdio>

#include "log/cx_log.h"

namespace kanzo::platform {

namespace {
constexpr double kSummaryShare = 0.99;
}  // namespace

UiStallProbe::UiStallProbe(std::chrono::milliseconds tick, std::chrono::milliseconds logThreshold, QObject* parent)
    : QObject(parent), tick_(tick), logThreshold_(logThreshold) {
  // A coarse timer may fire up to 5% late on purpose, which would read as a
  // stall.
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(tick_);
  connect(&timer_, &QTimer::timeout, this, &UiStallProbe::Tick);
  last_ = Clock::now();
  timer_.start();
}

UiStallProbe::~UiStallProbe() = default;

void UiStallProbe::Reset() {
  stats_.Reset();
  last_ = Clock::now();
}

void UiStallProbe::Tick() {
  const Clock::time_point now = Clock::now();
  const auto lateness = std::chrono::duration_cast<std::chrono::microseconds>(now - last_ - tick_);
  last_ = now;
  stats_.Record(lateness);
  if (lateness > logThreshold_) {
    KLOG_DEBUG("界面线程停顿 %lld 毫秒", static_cast<long long>(lateness.count() / 1000));
  }
}

std::string UiStallProbe::Summary() const {
  char text[160];
  std::snprintf(text, sizeof(text), "longest %.1f ms, 99%% within %lld ms, %lld ticks over %lld ms (%lld ticks)",
                static_cast<double>(stats_.Longest().count()) / 1000.0,
                static_cast<long long>(stats_.Percentile(kSummaryShare).count()),
                static_cast<long long>(stats_.CountNoticeable()),
                static_cast<long long>(UiStallStats::kNoticeable.count()), static_cast<long long>(stats_.Ticks()));
  return text;
}

}  // namespace kanzo::platform
