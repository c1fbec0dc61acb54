#include "Intents/FocusStateMonitor.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/FakeFocusStateSignal.h"

namespace kestrove {
namespace {

using Entries = FocusStateSignal::Entries;

class FocusStateMonitorTest : public testing::Test
{
protected:
    // 2025-03-01T12:00:05Z
    FakeClock clock{1740830405.7};
    FakeFocusStateSignal signal;
    FocusStateMonitor monitor{signal, clock};
};

TEST_F(FocusStateMonitorTest, AnnouncesChangesAndDeepStretches)
{
    int entered = 0;
    int left = 0;
    monitor.onEnterDeep = [&] { ++entered; };
    monitor.onLeaveDeep = [&] { ++left; };

    monitor.update(SessionPhase::idle); // the phase it starts in
    monitor.update(SessionPhase::buildingFocus);
    monitor.update(SessionPhase::buildingFocus);
    monitor.update(SessionPhase::deepWork);
    clock.advance(100);
    monitor.update(SessionPhase::peakFocus);
    clock.advance(25); // 125 s in deep work
    monitor.update(SessionPhase::idle);

    const std::string at = "2025-03-01T12:00:05Z";
    const std::string later = "2025-03-01T12:01:45Z";
    const std::string end = "2025-03-01T12:02:10Z";
    const std::vector<Entries> expected = {
        {{"event", "phase_changed"}, {"phase", "buildingFocus"}, {"timestamp", at}},
        {{"event", "phase_changed"}, {"phase", "deepWork"}, {"timestamp", at}},
        {{"event", "entered_deep_work"}, {"phase", "deepWork"}, {"timestamp", at}},
        {{"event", "phase_changed"}, {"phase", "peakFocus"}, {"timestamp", later}},
        {{"event", "phase_changed"}, {"phase", "idle"}, {"timestamp", end}},
        {{"event", "left_deep_work"},
         {"phase", "idle"},
         {"duration_minutes", "2"},
         {"timestamp", end}},
    };
    EXPECT_EQ(signal.sent, expected);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
    EXPECT_FALSE(monitor.deepEnteredAt());
}

TEST_F(FocusStateMonitorTest, ClockSetBackReportsNoNegativeMinutes)
{
    monitor.update(SessionPhase::deepWork);
    clock.advance(-3600);
    monitor.update(SessionPhase::warmingUp);
    ASSERT_EQ(signal.sent.size(), 4u);
    EXPECT_EQ(signal.sent.back()[2],
              (std::pair<std::string, std::string>("duration_minutes", "0")));
}

TEST(FocusStateTimestamp, IsUtcWithWholeSeconds)
{
    EXPECT_EQ(FocusStateMonitor::timestamp(0.999), "1970-01-01T00:00:00Z");
    EXPECT_EQ(FocusStateMonitor::timestamp(951782400), "2000-02-29T00:00:00Z");
}

} // namespace
} // namespace kestrove
