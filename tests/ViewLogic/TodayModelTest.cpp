#include "ViewLogic/Today/TodayModel.h"
#include "ViewLogic/Today/ReviewFigures.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Date at(int day, int hour, int minute = 0)
{
    return Calendar::date(2026, 12, day, hour, minute);
}

FocusBlock block(Date start, double deep, std::map<std::string, double> byProject = {})
{
    FocusBlock b;
    b.start = start;
    b.end = start + deep;
    b.deepSeconds = deep;
    b.byProject = std::move(byProject);
    return b;
}

TimeShare ts(std::string name, double seconds, std::optional<std::string> color = std::nullopt)
{
    return {std::move(name), seconds, std::move(color)};
}

DaySummary summary(double deep, double shallow = 0, double distraction = 0, double neutral = 0,
                   double idle = 0)
{
    DaySummary s = DaySummary::empty(at(8, 0));
    s.deepSeconds = deep;
    s.shallowSeconds = shallow;
    s.distractionSeconds = distraction;
    s.neutralSeconds = neutral;
    s.idleSeconds = idle;
    return s;
}

} // namespace

TEST(TodayModelTest, HeaderAndDayShift)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date now = at(8, 14, 20);
    const struct
    {
        Date day;
        bool isToday;
        double deep;
        const char* title;
        bool next;
        bool share;
    } cases[] = {
        {at(8, 0), true, 59, "Deep work · today", false, false},
        {at(8, 0), true, 60, "Deep work · today", false, true},
        {at(7, 0), false, 0, "Deep work · yesterday", true, false},
        {at(6, 0), false, 4000, "Deep work", true, true},
    };
    for (const auto& c : cases) {
        const TodayHeader header = todayHeader(c.day, c.isToday, c.deep, now, "en_US");
        EXPECT_EQ(header.title, c.title);
        EXPECT_EQ(header.nextEnabled, c.next) << c.title;
        EXPECT_EQ(header.showsTodayButton, !c.isToday) << c.title;
        EXPECT_EQ(header.shareEnabled, c.share) << c.title << " " << c.deep;
    }
    EXPECT_EQ(todayHeader(at(7, 0), false, 0, now, "en_US").date, "Monday, Dec 7");

    EXPECT_EQ(shiftedDay(at(7, 0), 1, now), std::nullopt); // back to today, not its date
    EXPECT_EQ(shiftedDay(at(6, 0), 1, now), at(7, 0));
    EXPECT_EQ(shiftedDay(at(8, 0), -1, now), at(7, 0));
    // Back over the autumn change: still a midnight.
    EXPECT_EQ(shiftedDay(Calendar::date(2026, 10, 26), -1, now), Calendar::date(2026, 10, 25));
    EXPECT_EQ(shownDay(std::nullopt, now), at(8, 0));
    EXPECT_EQ(shownDay(at(3, 0), now), at(3, 0));
}

TEST(TodayModelTest, StatusLineForEveryState)
{
    LiveStatus base;
    base.appName = "Firefox";
    base.projectDisplayName = "Kestrove";
    base.phase = SessionPhase::deepWork;
    base.sessionSeconds = 2 * 3600 + 5 * 60;

    const auto with = [&](auto change) {
        LiveStatus live = base;
        change(live);
        return statusLine(live);
    };
    EXPECT_EQ(with([](LiveStatus& l) {
                  l.isIdle = true;
                  l.hasLiveBlock = true;
                  l.kind = ContextKind::deep;
              }),
              "Idle. Deep work resumes when you touch the keyboard in a deep-work app.");
    EXPECT_EQ(with([](LiveStatus& l) {
                  l.hasLiveBlock = true;
                  l.kind = ContextKind::deep;
              }),
              "Deep Work · 2h 05m into this block · Kestrove");
    EXPECT_EQ(with([](LiveStatus& l) {
                  l.hasLiveBlock = true;
                  l.kind = ContextKind::distraction;
                  l.graceRemaining = 100.2;
              }),
              "Off deep work. Block breaks in 1:41.");
    EXPECT_EQ(with([](LiveStatus& l) {
                  l.hasLiveBlock = true;
                  l.kind = ContextKind::shallow;
              }),
              "Shallow work · Firefox");
    EXPECT_EQ(with([](LiveStatus& l) { l.kind = ContextKind::distraction; }),
              "Distraction · Firefox");
    EXPECT_EQ(with([](LiveStatus& l) { l.kind = ContextKind::deep; }), "Deep work · Kestrove");
    EXPECT_EQ(with([](LiveStatus& l) { l.kind = ContextKind::neutral; }), "Firefox");
}

TEST(TodayModelTest, PastStatusLine)
{
    ScopedTimeZone tz("Europe/Berlin");
    setenv("LC_TIME", "en_US.UTF-8", 1);
    EXPECT_EQ(pastStatusLine(summary(59), "en_US"), "No deep work recorded that day.");
    EXPECT_EQ(pastStatusLine(summary(60), "en_US"), "");

    DaySummary day = summary(3600);
    day.firstDeep = at(7, 9, 5);
    day.lastDeep = at(7, 16, 30);
    day.byProject = {ts("Unassigned", 2400), ts("Thesis", 1200, "teal")};
    EXPECT_EQ(pastStatusLine(day, "en_US"),
              "First deep work 9:05\u202fAM, last 4:30\u202fPM · 33% on Thesis");
    day.byProject = {ts("Unassigned", 3600)};
    EXPECT_EQ(pastStatusLine(day, "en_US"), "First deep work 9:05\u202fAM, last 4:30\u202fPM");
    unsetenv("LC_TIME");
}

TEST(TodayModelTest, HeroFigures)
{
    DaySummary day = summary(3600, 1800, 600, 600, 7200);
    day.blocks = {block(at(8, 9), 1200), block(at(8, 11), 2400)};

    auto hero = heroFigures(day, true, 3599, 4, "4h", 1);
    EXPECT_EQ(hero.value, "59");
    EXPECT_EQ(hero.unit, "min");
    EXPECT_EQ(hero.percent, "25%");
    EXPECT_EQ(hero.goal, "of 4h");
    ASSERT_EQ(hero.chips.size(), 4u);
    EXPECT_EQ(hero.chips[0], (StatFigure{"longest block", "40m"}));
    EXPECT_EQ(hero.chips[1], (StatFigure{"focus blocks", "2"}));
    EXPECT_EQ(hero.chips[2], (StatFigure{"of active time", "55%"}));
    EXPECT_EQ(hero.chips[3], (StatFigure{"day on goal", "1"}));

    hero = heroFigures(day, true, 5 * 3600, 4, "4h", 2);
    EXPECT_EQ(hero.value, "5:00");
    EXPECT_EQ(hero.unit, "hours");
    EXPECT_EQ(hero.progress, 1.0);
    EXPECT_EQ(hero.chips[3], (StatFigure{"days on goal", "2"}));

    hero = heroFigures(summary(0, 0, 0, 0, 600), false, 0, 0, "0h", 0);
    EXPECT_EQ(hero.progress, 0);
    EXPECT_EQ(hero.percent, "0%");
    EXPECT_EQ(hero.chips[0].value, "\u2014");
    EXPECT_EQ(hero.chips[1].value, "0");
    EXPECT_EQ(hero.chips[2].value, "0%");
    EXPECT_EQ(hero.chips[3], (StatFigure{"active", "0m"}));

    EXPECT_EQ(legendText(summary(3600 * 2 + 300, 59, 600, 9999)),
              "2h 5m deep · <1m shallow · 10m distraction");
}

TEST(TodayModelTest, WhereItWentRowsBarAndAreas)
{
    DaySummary day = summary(10 * 600);
    for (int i = 0; i < 9; ++i) {
        day.byProject.push_back(ts("P" + std::to_string(i), 600, "violet"));
    }
    day.byProject.push_back(ts("Unassigned", 600));
    day.byArea = {ts("Work", 3000), ts("Other", 1800), ts("Unassigned", 600)};

    auto card = whereItWent(day, true);
    EXPECT_EQ(card.bar.size(), 10u);
    EXPECT_EQ(card.rows.size(), 8u);
    EXPECT_EQ(card.rows[0].percent, "10%");
    EXPECT_TRUE(card.bar.back().isUnassigned);
    EXPECT_EQ(card.bar.back().color, std::nullopt);
    // "Other" and "Unassigned" are not areas: one real area, no count, but the lines show.
    EXPECT_EQ(card.trailing, std::nullopt);
    EXPECT_EQ(card.areas.size(), 3u);
    day.byArea.insert(day.byArea.begin(), ts("Study", 100));
    EXPECT_EQ(whereItWent(day, true).trailing, "2 areas");

    EXPECT_EQ(whereItWent(summary(0), true).emptyHint,
              "No deep work yet today. Open an IDE, a doc, or a design tool and the strip starts "
              "filling.");
    EXPECT_EQ(whereItWent(summary(0), false).emptyHint, "No deep work recorded that day.");

    const std::vector<ShareRow> bar = {{"A", "", "", "violet", false, 1.0}};
    EXPECT_EQ(stackedBarWidths(bar, 300), (std::vector<double>{298}));
    const std::vector<ShareRow> tiny = {{"A", "", "", "violet", false, 0.999},
                                        {"B", "", "", "blue", false, 0.001}};
    EXPECT_EQ(stackedBarWidths(tiny, 300)[1], 2);
}

TEST(TodayModelTest, BlockRowsLatestFirstWithTheLiveMark)
{
    ScopedTimeZone tz("Europe/Berlin");
    DaySummary day = summary(9000);
    day.blocks = {block(at(8, 9), 899, {{"Kestrove", 899}}), block(at(8, 10), 900, {{"", 900}}),
                  block(at(8, 12), 3600, {})};
    const auto live = std::optional<FocusBlock>(block(at(8, 12), 10));
    auto rows = blockRows(day, true, live, "de_DE");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].span, "12:00\u201313:00");
    EXPECT_EQ(rows[0].caption, "Unassigned · Peak Focus");
    EXPECT_TRUE(rows[0].isLive);
    EXPECT_EQ(rows[1].caption, "Unassigned · Building Focus");
    EXPECT_FALSE(rows[1].isLive);
    EXPECT_EQ(rows[2].caption, "Kestrove · Warming Up");
    EXPECT_EQ(rows[2].duration, "14m");
    EXPECT_FALSE(blockRows(day, false, live, "de_DE")[0].isLive);
    EXPECT_TRUE(blockRows(summary(0), true, live).empty());
}

TEST(TodayModelTest, UnassignedChips)
{
    DaySummary day = summary(7200);
    EXPECT_FALSE(unassignedCard(day).has_value());
    for (int i = 0; i < 12; ++i) {
        day.unassignedHints.push_back(ts("hint" + std::to_string(i), 60.0 * (i + 1)));
    }
    auto card = unassignedCard(day);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->chips.size(), 10u);
    EXPECT_EQ(card->trailing, "0m"); // no unassigned row: not the sum of the chips
    day.byProject = {ts("Thesis", 100, "teal"), ts("Unassigned", 5400)};
    card = unassignedCard(day);
    EXPECT_EQ(card->trailing, "1h 30m");
    EXPECT_EQ(card->chips[0].hint.name, "hint0");
    EXPECT_EQ(card->chips[0].duration, "1m");
}

TEST(TodayModelTest, NoticesAndTheAssignSheet)
{
    ScopedTimeZone tz("America/New_York");
    const Date now = at(8, 0, 30);
    DayPlan complete;
    complete.completedAt = now;
    const std::string yesterday = "2026-12-07";
    EXPECT_EQ(shutdownNotePlan("Ship it", yesterday, now, std::nullopt), "Ship it");
    EXPECT_EQ(shutdownNotePlan("Ship it", yesterday, now, DayPlan{}), "Ship it");
    EXPECT_EQ(shutdownNotePlan("Ship it", yesterday, now, complete), std::nullopt);
    EXPECT_EQ(shutdownNotePlan("Ship it", "2026-12-08", now, std::nullopt), std::nullopt);
    EXPECT_EQ(shutdownNotePlan("Ship it", "2026-12-05", now, std::nullopt), std::nullopt);
    EXPECT_EQ(shutdownNotePlan("  ", yesterday, now, std::nullopt), std::nullopt);
    EXPECT_EQ(shutdownNotePlan("Ship it", std::nullopt, now, std::nullopt), std::nullopt);

    const Date since = at(5, 15, 30);
    EXPECT_TRUE(isLegacyDay(at(4, 0), since, true));
    EXPECT_FALSE(isLegacyDay(at(5, 0), since, true));
    EXPECT_FALSE(isLegacyDay(at(4, 0), since, false)); // nothing was ever imported
    EXPECT_FALSE(isLegacyDay(at(4, 0), std::nullopt, true));
    EXPECT_EQ(legacyNoteText(since, "en_US"),
              "Recorded by the old tracker, before Dec 5. Idle time was often over-counted on "
              "those days.");

    EXPECT_EQ(assignSentence(1500, true),
              "25m of deep work today. Pick a project, or create one. Future time matches "
              "automatically and today's history is relabeled.");
    EXPECT_NE(assignSentence(1500, false).find("that day"), std::string::npos);
    EXPECT_FALSE(canCreateProject(" \t ", false));
    EXPECT_FALSE(canCreateProject("Thesis", true));
    EXPECT_TRUE(canCreateProject(" Thesis ", false));
    const Project project = newAssignProject(" Thesis ", " \t", "teal", "ID");
    EXPECT_EQ(project.name, " Thesis "); // the store trims it
    EXPECT_EQ(project.area, std::nullopt);
    EXPECT_EQ(newAssignProject("T", " Study ", "teal", "ID").area, "Study");
}

TEST(ReviewFiguresTest, KindPartsAndBar)
{
    const auto parts = kindParts(summary(3600, 59, 60, 120, 9000));
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], (KindPart{"deep", 3600, ContextKind::deep}));
    EXPECT_EQ(parts[1], (KindPart{"distraction", 60, ContextKind::distraction}));
    EXPECT_EQ(parts[2], (KindPart{"other", 120, ContextKind::neutral}));
    EXPECT_EQ(kindBarWidths(parts, 378), (std::vector<double>{360, 6, 12}));
    // Tiny parts are raised to 3 pt and not scaled back.
    const std::vector<KindPart> tiny = {{"deep", 100000, ContextKind::deep},
                                        {"shallow", 60, ContextKind::shallow}};
    EXPECT_EQ(kindBarWidths(tiny, 100)[1], 3);
    EXPECT_TRUE(kindBarWidths({}, 100).empty());
}

TEST(ReviewFiguresTest, DayFigures)
{
    ScopedTimeZone tz("Europe/Berlin");
    DaySummary idleOnly = summary(0, 0, 0, 0, 3 * 3600);
    auto figures = dayReviewFigures(idleOnly, 4 * 3600, {}, false, "en_US");
    EXPECT_EQ(figures.title, "How the day went");
    EXPECT_EQ(figures.tracked, "3h tracked");
    EXPECT_EQ(figures.atDesk, "0m");
    EXPECT_EQ(figures.deepShare, "0% of it deep");
    EXPECT_TRUE(figures.parts.empty());
    EXPECT_EQ(figures.stats.size(), 2u);
    EXPECT_EQ(figures.stats[0], (StatFigure{"longest stretch", "0m"}));
    EXPECT_EQ(figures.stats[1], (StatFigure{"focus blocks", "0"}));
    for (const ReviewLine& line : figures.lines) {
        EXPECT_EQ(line.text.find("today"), std::string::npos) << line.text;
    }
    EXPECT_EQ(dayReviewFigures(summary(0), 4 * 3600, {}, true).title, "How today went");
    EXPECT_EQ(dayReviewFigures(summary(0), 4 * 3600, {}, true).lines.front().text,
              "Nothing recorded yet today.");
    EXPECT_EQ(dayReviewFigures(summary(0), 4 * 3600, {}, false).lines.front().text,
              "Nothing recorded that day.");

    DaySummary day = summary(7200, 1800);
    day.blocks = {block(at(8, 9), 30), block(at(8, 10), 50)};
    day.byHour = {{9, 1200}, {14, 1200}};
    day.firstDeep = at(8, 9, 5);
    day.lastDeep = at(8, 17, 10);
    figures = dayReviewFigures(day, 4 * 3600, {}, true, "de_DE");
    EXPECT_EQ(figures.legend, (std::vector<std::string>{"2h deep", "30m shallow"}));
    ASSERT_EQ(figures.stats.size(), 4u);
    EXPECT_EQ(figures.stats[0], (StatFigure{"longest stretch", "<1m"}));
    EXPECT_EQ(figures.stats[1], (StatFigure{"focus blocks", "0"})); // under a minute each
    EXPECT_EQ(figures.stats[2], (StatFigure{"best hour", "9am", true}));
    EXPECT_EQ(figures.stats[3], (StatFigure{"deep work span", "09:05\u201317:10"}));
    EXPECT_EQ(figures.deepShare, "80% of it deep");
}

TEST(ReviewFiguresTest, WeekFigures)
{
    const Date monday = at(7, 0);
    std::vector<DayTotal> days;
    for (int i = 0; i < 7; ++i) {
        days.push_back({Calendar::addingDays(monday, i), 0, 0});
    }
    days[0] = {days[0].date, 30, 3 * 3600}; // under a minute of deep work: not a working day
    auto figures = weekReviewFigures(days, 4 * 3600, {});
    EXPECT_EQ(figures.atDesk, "0m");
    EXPECT_EQ(figures.deepShare, std::nullopt);
    ASSERT_EQ(figures.stats.size(), 2u);
    EXPECT_EQ(figures.stats[0], (StatFigure{"deep this week", "0m"}));
    EXPECT_EQ(figures.stats[1], (StatFigure{"working days", "0"}));

    days[1] = {days[1].date, 3 * 3600, 6 * 3600};
    days[2] = {days[2].date, 3600, 2 * 3600};
    figures = weekReviewFigures(days, 4 * 3600, {});
    EXPECT_EQ(figures.atDesk, "8h");
    EXPECT_EQ(figures.deepShare, "50% of it deep");
    ASSERT_EQ(figures.stats.size(), 3u);
    EXPECT_EQ(figures.stats[2], (StatFigure{"average a day", "2h"}));
}
