// The today page over a day replayed through the real engine: what it shows matches the stored
// day, and assigning a hint relabels that day's time.
#include "replay/ReplayDriver.h"
#include "replay/SyntheticDays.h"

#include "Views/Dashboard/AssignSheet.h"
#include "Views/Dashboard/TodayView.h"
#include "Views/ViewsTestSupport.h"
#include "core/Calendar.h"
#include "core/Duration.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kestrove;
using namespace kestrove::replay;

TEST(TodayReplayTest, ThePageShowsAReplayedDayAndAssignsItsHints)
{
    testing_support::ensureApplication();
    ScopedTimeZone tz("Europe/Berlin");
    // A Thursday, replayed whole; the page looks at it the morning after.
    const Date day = Calendar::date(2026, 10, 22);
    const Timeline timeline = syntheticDays(1, day);
    TemporaryFolder folder;
    replayTimeline(timeline, folder.path);
    const std::string path = replayDatabasePath(folder.path);

    const std::vector<Segment> stored = storedSegments(path);
    std::vector<Segment> ofTheDay;
    for (Segment s : stored) {
        s.start = std::max(s.start, day);
        s.end = std::min(s.end, Calendar::addingDays(day, 1));
        if (s.end > s.start) {
            ofTheDay.push_back(s);
        }
    }
    std::stable_sort(ofTheDay.begin(), ofTheDay.end(),
                     [](const Segment& a, const Segment& b) { return a.start < b.start; });
    const DaySummary expected = DaySummary::build(day, ofTheDay, {}, FocusBlockBuilder{});
    ASSERT_GT(expected.deepSeconds, 3600);
    ASSERT_FALSE(expected.unassignedHints.empty());

    EngineRig rig(Calendar::date(2026, 10, 23, 8, 30), path);
    rig.start();
    DashboardNavigation navigation;
    navigation.setSelectedDay(day);
    TodayView view(*rig.engine, navigation);
    rig.settle();

    EXPECT_FALSE(view.loadFailed());
    EXPECT_EQ(view.shown().deepSeconds, expected.deepSeconds);
    EXPECT_EQ(view.shown().blocks.size(), expected.blocks.size());
    const QStringList texts = view.texts();
    EXPECT_TRUE(texts.contains("DEEP WORK · YESTERDAY")) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts.contains("Thursday, Oct 22"));
    EXPECT_TRUE(
        texts.contains(QString::fromStdString(DurationFormat::hero(expected.deepSeconds).value)));
    EXPECT_TRUE(texts.contains("How the day went"));
    EXPECT_TRUE(texts.contains("Unassigned deep work"));
    EXPECT_TRUE(texts.contains(
        QString::fromStdString(DurationFormat::hm(expected.deepSeconds)) + " deep · " +
        QString::fromStdString(DurationFormat::hm(expected.shallowSeconds)) + " shallow · " +
        QString::fromStdString(DurationFormat::hm(expected.distractionSeconds)) + " distraction"));

    // The first hint goes to a project made in the sheet; the day read again shows it there.
    const TimeShare hint = view.shown().unassignedHints.front();
    view.chooseHint(hint);
    QPointer<AssignSheet> sheet = view.assignSheet();
    ASSERT_FALSE(sheet.isNull());
    sheet->nameField()->setText("Replayed work");
    sheet->createButton()->click();
    rig.settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sheet.isNull()); // closed once the work was done

    const auto& byProject = view.shown().byProject;
    const auto found = std::find_if(byProject.begin(), byProject.end(), [](const TimeShare& row) {
        return row.name == "Replayed work";
    });
    ASSERT_NE(found, byProject.end());
    EXPECT_NEAR(found->seconds, hint.seconds, 1e-6);
    for (const TimeShare& left : view.shown().unassignedHints) {
        EXPECT_NE(left.name, hint.name);
    }
    EXPECT_TRUE(view.texts().contains("Replayed work"));
}
