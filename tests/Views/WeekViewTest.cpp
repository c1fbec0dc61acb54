#include "Views/Dashboard/WeekView.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Components/StatChip.h"
#include "Views/Dashboard/BarChartView.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

using testing_support::deepInCode;

class WeekViewTest : public ::testing::Test
{
protected:
    WeekViewTest()
    {
        testing_support::ensureApplication();
        setenv("LC_ALL", "de_DE.UTF-8", 1); // Monday first
        Database db(m_rig.path);
        db.open();
        db.insertSegment(deepInCode(Calendar::date(2026, 12, 7, 9, 0), 90, "Kestrove"));
        db.insertSegment(deepInCode(Calendar::date(2026, 12, 8, 9, 0), 30, nullptr));
        db.insertSegment(deepInCode(Calendar::date(2026, 12, 1, 9, 0), 20, "Thesis"));
    }
    ~WeekViewTest() override { unsetenv("LC_ALL"); }

    std::unique_ptr<WeekView> page()
    {
        m_rig.start();
        auto view = std::make_unique<WeekView>(
            *m_rig.engine, m_navigation,
            [this](QWidget*, Date start, Date end) { m_shared.emplace_back(start, end); });
        m_rig.settle();
        return view;
    }

    ScopedTimeZone m_tz{"Europe/Berlin"};
    EngineRig m_rig{Calendar::date(2026, 12, 9, 15, 0)}; // a Wednesday
    DashboardNavigation m_navigation;
    std::vector<std::pair<Date, Date>> m_shared;
};

} // namespace

TEST_F(WeekViewTest, ShowsTheWeekAndOpensADayOnTheTodayPage)
{
    const auto view = page();
    ASSERT_EQ(view->days().size(), 7u);
    EXPECT_EQ(view->weekStart(), Calendar::date(2026, 12, 7));
    EXPECT_TRUE(view->texts().contains("deep work: 2h"));
    EXPECT_TRUE(view->texts().contains("Kestrove"));
    const auto* chart = view->content()->findChild<BarChartView*>("weekChart");
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->model().bars.size(), 7u);

    auto rows = view->content()->findChildren<QAbstractButton*>("dayRow");
    ASSERT_EQ(rows.size(), 7);
    m_navigation.setSection(DashboardSection::week);
    QTest::mouseClick(rows[0], Qt::LeftButton);
    EXPECT_EQ(m_navigation.section(), DashboardSection::today);
    EXPECT_EQ(m_navigation.selectedDay(), Calendar::date(2026, 12, 7));
    // Today's row opens the live day.
    QTest::mouseClick(rows[2], Qt::LeftButton);
    EXPECT_EQ(m_navigation.selectedDay(), std::nullopt);

    // Each label keeps its own colour inside the row button: a day without deep time is dim.
    const auto durations = rows[5]->findChildren<QLabel*>("dayDuration");
    ASSERT_EQ(durations.size(), 1);
    const QLabel* zero = durations[0];
    EXPECT_EQ(zero->text(), "0m");
    EXPECT_EQ(zero->palette().color(zero->foregroundRole()), KS::textTertiary());

    auto* share = view->content()->findChild<QAbstractButton*>("shareWeek");
    ASSERT_TRUE(share);
    EXPECT_TRUE(share->isEnabled());
    share->click();
    ASSERT_EQ(m_shared.size(), 1u);
    EXPECT_EQ(m_shared[0].first, Calendar::date(2026, 12, 7));
    EXPECT_EQ(m_shared[0].second, Calendar::date(2026, 12, 14));
}

TEST_F(WeekViewTest, MovesBetweenWeeksButNeverPastThisOne)
{
    const auto view = page();
    auto* next = view->content()->findChild<QAbstractButton*>("nextWeek");
    ASSERT_TRUE(next);
    EXPECT_FALSE(next->isEnabled());
    view->content()->findChild<QAbstractButton*>("previousWeek")->click();
    m_rig.settle();
    EXPECT_EQ(view->weekOffset(), -1);
    EXPECT_EQ(view->weekStart(), Calendar::date(2026, 11, 30));
    EXPECT_EQ(view->content()->findChild<Eyebrow*>("weekTitle")->shownText(), "LAST WEEK");
    EXPECT_TRUE(view->texts().contains("deep work: 20m"));
    EXPECT_TRUE(view->content()->findChild<QAbstractButton*>("nextWeek")->isEnabled());
    view->setWeekOffset(3);
    m_rig.settle();
    EXPECT_EQ(view->weekOffset(), 0);
    EXPECT_TRUE(view->texts().contains("deep work: 2h"));
}

TEST_F(WeekViewTest, AFailedReadShowsAnErrorNotAnEmptyWeek)
{
    const auto view = page();
    m_rig.engine->database().run([](Database& db) { db.close(); });
    view->load();
    m_rig.settle();
    EXPECT_TRUE(view->loadFailed());
    EXPECT_TRUE(view->content()->findChild<QLabel*>("readError"));
    EXPECT_FALSE(view->content()->findChild<BarChartView*>("weekChart"));
    EXPECT_FALSE(view->content()->findChild<QAbstractButton*>("shareWeek")->isEnabled());
    EXPECT_FALSE(view->texts().contains("deep work: 0m"));
}
