#include "platform/qt/ui_stall_probe.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <thread>

#include "support/qt_pump.h"

namespace kanzo::platform {
namespace {

constexpr std::chrono::milliseconds kBlocked{150};

// The probe sees a stretch of work on its thread as one late tick at least
// as long as the work, less one tick.
TEST(UiStallProbeTest, WorkHoldingTheThreadShowsAsAStall) {
  UiStallProbe probe(UiStallProbe::kBenchmarkTick, UiStallProbe::kProgramLogThreshold);
  ASSERT_TRUE(test::PumpUntil([&] { return probe.Stats().Ticks() >= 5; }));
  probe.Reset();
  bool worked = false;
  QTimer::singleShot(0, [&] {
    std::this_thread::sleep_for(kBlocked);
    worked = true;
  });
  ASSERT_TRUE(test::PumpUntil([&] { return worked && probe.Stats().Ticks() >= 5; }));
  EXPECT_GE(probe.Stats().Longest(), kBlocked - UiStallProbe::kBenchmarkTick);
  EXPECT_GE(probe.Stats().CountNoticeable(), 1);
  EXPECT_NE(probe.Summary().find("ticks over 50 ms"), std::string::npos) << probe.Summary();
}

}  // namespace
}  // namespace kanzo::platform
