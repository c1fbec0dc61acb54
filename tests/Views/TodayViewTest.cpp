#include "Views/Dashboard/TodayView.h"
#include "Views/Components/DepthStrip.h"
#include "Views/Components/ReviewCard.h"
#include "Views/Dashboard/AssignSheet.h"
#include "Views/Theme.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

class TodayViewTest : public ::testing::Test
{
protected:
    TodayViewTest() { testing_support::ensureApplication(); }

    template <typename T = QWidget> T* find(QWidget& root, const char* name)
    {
        return root.findChild<T*>(name);
    }

    ScopedTimeZone m_tz{"Europe/Berlin"};
    EngineRig m_rig{Calendar::date(2026, 12, 8, 10, 0)};
    DashboardNavigation m_navigation;
};

Segment seg(Date start, Date end, ContextKind kind)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.appName = "Code";
    return s;
}

} // namespace

TEST_F(TodayViewTest, TheStripHoversOnlyWhereThereIsABarAndGrowsForTheTooltip)
{
    const std::vector<Segment> segments = {seg(0, 100, ContextKind::deep),
                                           seg(100, 200, ContextKind::idle),
                                           seg(200, 400, ContextKind::distraction)};
    DepthStrip strip(segments, 0, 400, 400.0, true, true, 56);
    strip.resize(400, strip.height());
    const int resting = strip.height();
    EXPECT_EQ(resting, 56 + 6 + 12);

    strip.hoverAt(150); // over idle time
    EXPECT_EQ(strip.hovered(), std::nullopt);
    strip.hoverAt(300);
    EXPECT_EQ(strip.hovered(), 2u);
    QTest::qWait(250);
    EXPECT_GT(strip.height(), resting + 50);

    // The hovered bar stays at full strength, the others dim.
    const QImage image = testing_support::paintOnInk(strip);
    const QColor hovered = image.pixelColor(300, 5);
    EXPECT_TRUE(testing_support::near(hovered, testing_support::overInk([] {
                                          QColor c = KS::distraction();
                                          c.setAlphaF(0.85F);
                                          return c;
                                      }()),
                                      6));
    const QColor dimmed = image.pixelColor(50, 50);
    EXPECT_LT(dimmed.lightness(), KS::deep().lightness());

    strip.leave();
    EXPECT_EQ(strip.hovered(), std::nullopt);
    QTest::qWait(250);
    EXPECT_EQ(strip.height(), resting);

    DepthStrip still(segments, 0, 400, std::nullopt, false, false, 64);
    still.hoverAt(50);
    EXPECT_EQ(still.hovered(), std::nullopt);
    EXPECT_EQ(still.height(), 64);
}

TEST_F(TodayViewTest, TheNowMarkerShowsOnlyInsideTheWindow)
{
    const std::vector<Segment> none;
    for (const auto& [now, drawn] : {std::pair{400.0, true}, std::pair{401.0, false}}) {
        DepthStrip strip(none, 0, 400, now, false, false, 56);
        strip.resize(200, 56);
        const QImage image = testing_support::paintOnInk(strip);
        const QColor edge = image.pixelColor(199, 30);
        EXPECT_EQ(edge.lightness() > 100, drawn) << now;
    }
}

TEST_F(TodayViewTest, HeaderMovesBetweenDaysAndShares)
{
    m_rig.start();
    TodayView view(*m_rig.engine, m_navigation);
    m_rig.settle();
    EXPECT_TRUE(view.isToday());
    EXPECT_FALSE(find<QAbstractButton>(view, "nextDay")->isEnabled());
    EXPECT_FALSE(find<QAbstractButton>(view, "share")->isEnabled()); // no deep work yet
    EXPECT_EQ(find(view, "todayButton"), nullptr);

    find<QAbstractButton>(view, "previousDay")->click();
    m_rig.settle();
    EXPECT_EQ(m_navigation.selectedDay(), Calendar::date(2026, 12, 7));
    EXPECT_TRUE(view.texts().contains("DEEP WORK · YESTERDAY"));
    EXPECT_TRUE(view.texts().contains("How the day went"));
    EXPECT_FALSE(view.isPolling());

    find<QAbstractButton>(view, "previousDay")->click();
    find<QAbstractButton>(view, "nextDay")->click();
    EXPECT_EQ(m_navigation.selectedDay(), Calendar::date(2026, 12, 7));
    find<QAbstractButton>(view, "nextDay")->click();
    EXPECT_EQ(m_navigation.selectedDay(), std::nullopt);
    m_rig.settle();

    find<QAbstractButton>(view, "previousDay")->click();
    find<QAbstractButton>(view, "todayButton")->click();
    EXPECT_EQ(m_navigation.selectedDay(), std::nullopt);
}

TEST_F(TodayViewTest, TheShutdownNoteGoesAtOnceAfterDone)
{
    m_rig.prefs.set(SessionEngine::kTomorrowPlanKey, {std::string("Write the chapter")});
    m_rig.prefs.set(SessionEngine::kTomorrowPlanWrittenOnKey, {std::string("2026-12-07")});
    m_rig.start();
    TodayView view(*m_rig.engine, m_navigation);
    m_rig.settle();
    ASSERT_NE(find(view, "shutdownNote"), nullptr);
    EXPECT_TRUE(view.texts().contains("Write the chapter"));
    find<QAbstractButton>(view, "shutdownDone")->click();
    EXPECT_EQ(find(view, "shutdownNote"), nullptr);
    EXPECT_FALSE(m_rig.prefs.contains(SessionEngine::kTomorrowPlanKey));
}

TEST_F(TodayViewTest, TheAssignSheetIgnoresASecondChoiceAndCancelChangesNothing)
{
    m_rig.start();
    Project thesis;
    thesis.name = "Thesis";
    thesis.color = "teal";
    thesis.area = "Study";
    thesis = m_rig.engine->projects().add(thesis);
    Project archived;
    archived.name = "Old";
    archived.isArchived = true;
    m_rig.engine->projects().add(archived);

    int done = 0;
    {
        AssignSheet sheet(*m_rig.engine, "scratch", 600, true, [&] { ++done; });
        ASSERT_EQ(sheet.projectButtons().size(), 1u); // archived projects are not offered
        // The row's labels keep their own colours inside the button: the area is dim.
        bool sawArea = false;
        for (const QLabel* label : sheet.projectButtons()[0]->findChildren<QLabel*>()) {
            if (label->text() == "Study") {
                sawArea = true;
                EXPECT_EQ(label->palette().color(label->foregroundRole()), KS::textTertiary());
            }
        }
        EXPECT_TRUE(sawArea);
        EXPECT_FALSE(sheet.createButton()->isEnabled());
        sheet.nameField()->setText("  \t ");
        EXPECT_FALSE(sheet.createButton()->isEnabled());
        sheet.findChild<QAbstractButton*>("cancel")->click();
        m_rig.settle();
        EXPECT_EQ(done, 0);
        EXPECT_EQ(m_rig.engine->projects().projects().size(), 2u);
        EXPECT_TRUE(m_rig.engine->projects().projects()[0].rules.empty());
    }

    AssignSheet sheet(*m_rig.engine, "scratch", 600, true, [&] { ++done; });
    sheet.nameField()->setText(" Thesis ");
    sheet.areaField()->setText("  ");
    ASSERT_TRUE(sheet.createButton()->isEnabled());
    sheet.createButton()->click();
    EXPECT_TRUE(sheet.isWorking());
    EXPECT_FALSE(sheet.createButton()->isEnabled());
    sheet.projectButtons()[0]->click(); // ignored while the first runs
    m_rig.settle();
    EXPECT_EQ(done, 1);
    const auto& projects = m_rig.engine->projects().projects();
    ASSERT_EQ(projects.size(), 3u);
    EXPECT_EQ(projects[2].name, "Thesis"); // a second project of the same name
    EXPECT_EQ(projects[2].area, std::nullopt);
    EXPECT_EQ(projects[2].rules.size(), 1u);
    EXPECT_TRUE(projects[0].rules.empty());
}

TEST_F(TodayViewTest, ReviewCardsShowTheirParts)
{
    DaySummary day = DaySummary::empty(Calendar::date(2026, 12, 8));
    day.deepSeconds = 3600;
    day.shallowSeconds = 59;
    day.neutralSeconds = 600;
    DayReviewCard card(day, 4 * 3600, {}, false);
    EXPECT_EQ(KindBar::parts(day).size(), 2u);
    EXPECT_EQ(card.figures().title, "How the day went");
    EXPECT_EQ(card.figures().legend, (std::vector<std::string>{"1h deep", "10m other"}));

    WeekReviewCard week({}, 4 * 3600, {});
    EXPECT_EQ(week.figures().atDesk, "0m");
}

// The dashboard may open before the engine has started (no tray): the page waits for the
// database instead of showing the day as unreadable.
TEST_F(TodayViewTest, APageBuiltBeforeTheStartLoadsOnceTheEngineRuns)
{
    m_rig.show("com.microsoft.vscode", "a.cpp");
    TodayView view(*m_rig.engine, m_navigation);
    m_rig.settle();
    EXPECT_FALSE(view.loadFailed());
    EXPECT_TRUE(view.segments().empty());
    m_rig.start();
    m_rig.run(30);
    QCoreApplication::processEvents();
    m_rig.settle();
    EXPECT_FALSE(view.loadFailed());
    EXPECT_EQ(view.findChild<QWidget*>("readError"), nullptr);
    ASSERT_FALSE(view.segments().empty());
    EXPECT_NEAR(view.segments().back().end - view.segments().front().start, 30, 1.5);
}
