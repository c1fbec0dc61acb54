#include "replay/ReplayDriver.h"
#include "replay/SyntheticDays.h"
#include "replay/TimelineFeed.h"

#include "core/Calendar.h"
#include "core/NumberFormat.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>


using namespace kestrove;
using namespace kestrove::replay;

namespace {

// The fields a segment is known by, so a difference shows in the failure message.
std::string describe(const Segment& s)
{
    return NumberFormat::shortest(s.start) + "–" + NumberFormat::shortest(s.end) + " " +
           s.bundleID.value_or("-") + " [" + s.appName + "] \"" + s.windowTitle + "\" " +
           s.domain + " " + std::string(rawValue(s.kind)) + " " + s.project.value_or("-") + " " +
           s.focusTaskID.value_or("-");
}

// The unit tests' engine rig, fed from the same timeline and settled after every second.
std::vector<Segment> secondBySecond(const Timeline& timeline)
{
    EngineRig rig(timeline.start);
    TimelineFeed feed(timeline, {rig.workspace, rig.scripting, rig.input, rig.events});
    feed.onTask = [&](const TimelineEvent& event, const std::string& id) {
        rig.engine->startFocusTask(focusTask(event, id, rig.clock.now()));
    };
    feed.onEndTask = [&] { rig.engine->endFocusTask(FocusTask::EndReason::completed); };
    feed.advance(rig.clock.now());
    rig.start();
    while (!feed.isFinished(rig.clock.now())) {
        if (feed.advance(rig.clock.now() + 1) > 0) {
            rig.settle();
        } else {
            rig.mainQueue.drain();
        }
        rig.run(1);
    }
    rig.engine->stop();
    rig.settle();
    return storedSegments(rig.path);
}

} // namespace

// The replay runs the engine's own code: a week of synthetic days (KESTROVE_REPLAY_DAYS for more)
// gives the same segments as the unit tests' rig fed second by second, across a clock change.
TEST(ReplayTest, ReplayWritesWhatTheEngineWritesSecondBySecond)
{
    ScopedTimeZone tz("Europe/Berlin");
    const char* days = std::getenv("KESTROVE_REPLAY_DAYS");
    const Timeline timeline =
        syntheticDays(days ? std::max(1, std::atoi(days)) : 7, Calendar::date(2026, 10, 22));
    TemporaryFolder folder;
    const ReplayReport report = replayTimeline(timeline, folder.path);
    const auto replayed = storedSegments(replayDatabasePath(folder.path));
    const auto expected = secondBySecond(timeline);

    EXPECT_EQ(report.segments, static_cast<std::int64_t>(replayed.size()));
    EXPECT_EQ(report.samples, static_cast<std::int64_t>(timeline.duration));
    EXPECT_GE(report.focusTasks, 3);
    EXPECT_GT(report.databaseBytes, 0);
    ASSERT_GT(replayed.size(), 100u);
    std::size_t differences = 0;
    for (std::size_t i = 0; i < std::max(replayed.size(), expected.size()); ++i) {
        const std::string a = i < replayed.size() ? describe(replayed[i]) : "(none)";
        const std::string b = i < expected.size() ? describe(expected[i]) : "(none)";
        if (a != b && ++differences <= 5) {
            ADD_FAILURE() << "segment " << i << "\n replayed: " << a << "\n expected: " << b;
        }
    }
    EXPECT_EQ(differences, 0u);
}
