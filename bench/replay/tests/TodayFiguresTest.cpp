#include "replay/SyntheticDays.h"
#include "replay/TimelineFeed.h"

#include "core/Calendar.h"
#include "core/NumberFormat.h"
#include "support/EngineRig.h"
#include "support/FullReadFigures.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

using namespace kestrove;
using namespace kestrove::replay;

namespace {

// Seconds a sleeping machine's process stands still at a time: each step is a gap in sampling.
constexpr double kSleepStep = 300;

} // namespace

// A synthetic week second by second, with nights in which the process stands still (gaps in
// sampling, across midnight and a clock change): at every rebuild, today's figures from the kept
// segments are exactly those of a full read of the day.
TEST(TodayFiguresTest, KeptSegmentsGiveWhatAFullReadGivesOverAWeek)
{
    ScopedTimeZone tz("Europe/Berlin");
    const char* daysText = std::getenv("KESTROVE_REPLAY_DAYS");
    const int days = daysText ? std::max(1, std::atoi(daysText)) : 7;
    const Timeline timeline = syntheticDays(days, Calendar::date(2026, 10, 22));
    EngineRig rig(timeline.start);
    TimelineFeed feed(timeline, {rig.workspace, rig.scripting, rig.input, rig.events});
    feed.onTask = [&](const TimelineEvent& event, const std::string& id) {
        rig.engine->startFocusTask(focusTask(event, id, rig.clock.now()));
    };
    feed.onEndTask = [&] { rig.engine->endFocusTask(FocusTask::EndReason::completed); };
    feed.advance(rig.clock.now());
    rig.start();

    int compared = 0, differences = 0, gaps = 0;
    std::set<Date> daysSeen;
    while (!feed.isFinished(rig.clock.now())) {
        const double step = rig.events.isAsleep() ? kSleepStep : 1;
        gaps += step > 1 ? 1 : 0;
        feed.advance(rig.clock.now() + step);
        rig.settle();
        rig.clock.advance(step);
        // The engine's timer, called by hand: the fake scheduler would replay a gap second by
        // second.
        rig.engine->secondTick();
        rig.settle();
        if (rig.engine->todayBuiltAt() != rig.clock.now()) {
            continue;
        }
        ++compared;
        daysSeen.insert(rig.engine->today().date);
        const FullReadFigures expected(rig);
        if (!expected.matches(*rig.engine)) {
            if (++differences <= 5) {
                ADD_FAILURE() << "at " << NumberFormat::shortest(rig.clock.now())
                              << "\n kept:      " << FullReadFigures::describe(rig.engine->today())
                              << "\n full read: " << FullReadFigures::describe(expected.today);
            }
        }
    }
    rig.engine->stop();
    rig.settle();
    EXPECT_EQ(differences, 0);
    EXPECT_GT(compared, 10000);
    EXPECT_GT(gaps, 100);
    EXPECT_GE(daysSeen.size(), static_cast<std::size_t>(days));
}
