#include "core/WorkReview.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;
using Tone = ReviewLine::Tone;

namespace {

// A day with an hour of deep work and nothing else worth a sentence.
DaySummary plainDay(double deep = 3600)
{
    DaySummary day;
    day.deepSeconds = deep;
    return day;
}

std::vector<FocusBlock> blocks(std::vector<double> deepMinutes)
{
    std::vector<FocusBlock> result;
    for (const double minutes : deepMinutes) {
        result.push_back(FocusBlock{0, minutes * 60, minutes * 60, 0, {}, {}});
    }
    return result;
}

std::vector<std::string> texts(const std::vector<ReviewLine>& lines)
{
    std::vector<std::string> result;
    for (const auto& line : lines) {
        result.push_back(line.text);
    }
    return result;
}

std::vector<DayTotal> week(std::vector<double> deepHours, double activeFactor = 1.5)
{
    std::vector<DayTotal> days;
    Date day = Calendar::date(2026, 1, 5); // a Monday
    for (const double hours : deepHours) {
        days.push_back({day, hours * 3600, hours * 3600 * activeFactor});
        day = Calendar::addingDays(day, 1);
    }
    return days;
}

} // namespace

TEST(DayReview, SentencesForEachRule)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date day = Calendar::date(2026, 1, 5);
    struct Case
    {
        const char* name;
        DaySummary summary;
        double goal;
        std::vector<ReviewLine> lines;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, auto change, double goal,
                         std::vector<ReviewLine> lines) {
        DaySummary summary = plainDay();
        change(summary);
        cases.push_back({name, summary, goal, std::move(lines)});
    };
    const ReviewLine clean{"Clean day. 100% of your time at the desk was deep.", Tone::good};
    // clang-format off
    add("too little", [](DaySummary& s) { s.deepSeconds = 240; }, 0,
        {{"Nothing recorded yet today.", Tone::watch}});
    add("clean day", [](DaySummary& s) { s.neutralSeconds = 3600; }, 0,
        {{"Clean day. 50% of your time at the desk was deep.", Tone::good}});
    add("scattered", [](DaySummary& s) { s.blocks = blocks({40, 10, 10, 10, 10, 0.5}); }, 0,
        {{"Your deep work came in 5 pieces. The longest was 40m. One protected hour beats six "
          "scattered ones.", Tone::fix}});
    add("long stretch", [](DaySummary& s) { s.blocks = blocks({75, 10}); }, 0,
        {{"Longest unbroken stretch: 1h 15m. That is the shape to repeat.", Tone::good}});
    add("neither", [](DaySummary& s) { s.blocks = blocks({50, 10, 10, 10}); }, 0, {clean});
    add("goal passed", [](DaySummary& s) { s.deepSeconds = 4.5 * 3600; }, 4 * 3600,
        {{"Past your 4h goal by 30m.", Tone::good}});
    add("goal short", [](DaySummary& s) { s.deepSeconds = 3 * 3600; }, 4 * 3600,
        {{"1h short of your goal.", Tone::watch}});
    add("goal far", [](DaySummary& s) { s.deepSeconds = 2 * 3600; }, 4 * 3600, {clean});
    const std::vector<std::pair<double, ReviewLine>> starts = {
        {8 * 60 + 59, {"Deep work started at 08:59.", Tone::good}}, {9 * 60, clean},
        {10 * 60 + 59, clean},
        {11 * 60, {"First deep work at 11:00. The morning went somewhere else.", Tone::watch}}};
    for (const auto& start : starts) {
        add("first deep", [&](DaySummary& s) { s.firstDeep = day + start.first * 60; }, 0,
            {start.second});
    }
    add("distraction names its top label", [](DaySummary& s) {
            s.distractionSeconds = 1500;
            s.topDistractions = {{"video.example", 300, {}}}; }, 0,
        {{"25m on distractions. Most of it: video.example (5m).", Tone::watch}});
    add("shallow names only a big label", [](DaySummary& s) {
            s.deepSeconds = 1800;
            s.shallowSeconds = 2400;
            s.topShallow = {{"mail.example", 900, {}}}; }, 0,
        {{"More shallow than deep today: 40m against 30m.", Tone::fix}});
    add("unassigned", [](DaySummary& s) {
            s.byProject = {{"Thesis", 1800, {}}, {"Unassigned", 1800, {}}}; }, 0,
        {{"30m of deep work is unassigned. Assign it and the week starts telling you where it "
          "went.", Tone::watch}});
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(DayReview::lines(c.summary, c.goal, {}, 4), c.lines) << c.name;
    }
    EXPECT_EQ(DayReview::lines(plainDay(240), 0, {}, 0).size(), 1u);
}

TEST(DayReview, OrderLimitsAndAverage)
{
    ScopedTimeZone tz("Europe/Berlin");
    DaySummary day = plainDay();
    day.shallowSeconds = 4000;                             // fix F
    day.firstDeep = Calendar::date(2026, 1, 5, 8);         // good A
    day.distractionSeconds = 1200;                         // watch W
    const auto lines = DayReview::lines(day, 3600, {}, 4); // good B: the goal
    EXPECT_EQ(texts(lines),
              (std::vector<std::string>{"More shallow than deep today: 1h 6m against 1h.",
                                        "Deep work started at 08:00.", "20m on distractions.",
                                        "Past your 1h goal by 0m."}));
    EXPECT_EQ(DayReview::lines(day, 3600, {}, 2),
              (std::vector<ReviewLine>(lines.begin(), lines.begin() + 2)));

    const auto average = [&](std::vector<double> hours) {
        return texts(DayReview::lines(plainDay(), 0, week(hours), 4)).front();
    };
    const std::string clean = "Clean day. 100% of your time at the desk was deep.";
    EXPECT_EQ(average({0.5, 0.5}), clean);
    EXPECT_EQ(average({0.01, 0.5, 0.5}), clean); // 36 s does not count as a day
    EXPECT_EQ(average({0.75, 0.75, 0.75}), "Above your recent average of 45m a day.");
    EXPECT_EQ(average({9, 9, 2, 2, 2, 2, 2, 2, 2}), "Below your recent average of 2h a day.");
}

TEST(DayReview, BestHour)
{
    DaySummary day;
    EXPECT_FALSE(DayReview::bestHour(day));
    day.byHour = {{9, 299}};
    EXPECT_FALSE(DayReview::bestHour(day));
    day.byHour = {{14, 900}, {10, 900}, {9, 300}};
    EXPECT_EQ(DayReview::bestHour(day), (DayReview::BestHour{10, 900}));
}

TEST(WeekReview, SentencesAndOrder)
{
    ScopedTimeZone tz("Europe/Berlin");
    const auto review = [](std::vector<double> hours, double goalHours,
                           std::vector<double> previous = {}, double activeFactor = 2.5) {
        return WeekReview::lines(week(hours, activeFactor), goalHours * 3600, week(previous), 4,
                                 "en_US");
    };
    EXPECT_EQ(review({0.01}, 0),
              (std::vector<ReviewLine>{{"No deep work recorded this week yet.", Tone::watch}}));
    EXPECT_EQ(review({2, 1}, 0),
              (std::vector<ReviewLine>{{"1h 30m of deep work a day across 2 days.", Tone::good}}));
    EXPECT_EQ(review({4, 1, 1}, 0),
              (std::vector<ReviewLine>{{"Uneven week: Monday held 4h, Tuesday held 1h. "
                                        "Consistency beats one big day.",
                                        Tone::fix}}));
    EXPECT_EQ(review({2, 1, 1}, 0),
              (std::vector<ReviewLine>{
                  {"Steady week: every working day landed between 1h and 2h.", Tone::good}}));
    EXPECT_EQ(review({4, 4, 4, 4, 2}, 3).front(),
              (ReviewLine{"4 of 5 working days hit your 3h goal.", Tone::good}));
    EXPECT_EQ(review({4, 4, 4, 2, 2}, 3)[1],
              (ReviewLine{"3 of 5 working days hit your 3h goal.", Tone::watch}));
    EXPECT_EQ(review({2, 2, 2, 2, 2}, 3).front(),
              (ReviewLine{"0 of 5 working days hit your 3h goal. The goal or the day has to give.",
                          Tone::fix}));
    EXPECT_EQ(review({2, 2, 2}, 0, {}, 4).front(),
              (ReviewLine{"Only 25% of your time at the desk was deep. The hours are there; the "
                          "shape is not.",
                          Tone::fix}));
    EXPECT_EQ(texts(review({2, 2, 2}, 0, {}, 1.5)),
              (std::vector<std::string>{"Steady week: every working day landed between 2h and 2h.",
                                        "67% of your desk time was deep work."}));
    EXPECT_EQ(texts(review({2, 2, 2}, 0, {1, 1, 1})).back(),
              "Up on last week: 2h a day against 1h.");
    EXPECT_EQ(texts(review({2, 2, 2}, 0, {3, 3, 3})).back(),
              "Down on last week: 2h a day against 3h.");
    EXPECT_EQ(texts(review({2, 2, 2}, 0, {1, 1})).size(), 1u);
}
