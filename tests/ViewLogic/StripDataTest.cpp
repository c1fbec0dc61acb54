#include "ViewLogic/Today/StripData.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Segment seg(Date start, Date end, ContextKind kind = ContextKind::deep,
            std::optional<std::string> project = std::nullopt)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.project = std::move(project);
    s.appName = "Code";
    return s;
}

Date at(int day, int hour, int minute = 0, int second = 0)
{
    return Calendar::date(2026, 12, day, hour, minute, second);
}

} // namespace

TEST(StripDataTest, RangeOfADay)
{
    ScopedTimeZone tz("Europe/Berlin");
    const struct
    {
        const char* name;
        std::vector<Segment> segments;
        Date day;
        Date now;
        Date start;
        Date end;
    } cases[] = {
        {"today without segments", {}, at(8, 14, 20), at(8, 14, 20), at(8, 8), at(8, 16)},
        {"early today without segments", {}, at(8, 7, 10), at(8, 7, 10), at(8, 8), at(8, 16)},
        {"past day without segments", {}, at(7, 12), at(8, 14, 20), at(7, 8), at(8, 0)},
        {"past day with work",
         {seg(at(7, 9, 12), at(7, 10))},
         at(7, 12),
         at(8, 9),
         at(7, 9),
         at(8, 0)},
        {"today on the hour",
         {seg(at(8, 9, 12), at(8, 10))},
         at(8, 10),
         at(8, 10),
         at(8, 9),
         at(8, 17)},
        {"late start widens backwards",
         {seg(at(8, 23, 30), at(8, 23, 45))},
         at(8, 23, 45),
         at(8, 23, 45),
         at(8, 16),
         at(9, 0)},
        {"idle is left out",
         {seg(at(8, 6), at(8, 9), ContextKind::idle), seg(at(8, 10, 5), at(8, 11))},
         at(8, 11),
         at(8, 11),
         at(8, 10),
         at(8, 18)},
        {"first listed, not earliest",
         {seg(at(8, 11), at(8, 12)), seg(at(8, 9), at(8, 10))},
         at(8, 12),
         at(8, 12),
         at(8, 11),
         at(8, 19)},
    };
    for (const auto& c : cases) {
        const auto range = StripData::range(c.segments, c.day, c.now);
        EXPECT_EQ(range.start, c.start) << c.name;
        EXPECT_EQ(range.end, c.end) << c.name;
    }
}

TEST(StripDataTest, RangeOnClockChangeDays)
{
    // 29 March 2026 in Berlin has 23 hours; 25 October has 25.
    ScopedTimeZone tz("Europe/Berlin");
    const Date spring = Calendar::date(2026, 3, 29);
    const auto past = StripData::range({}, spring + 3600 * 12, spring + 86400 * 3);
    EXPECT_EQ(past.start, Calendar::date(2026, 3, 29, 8));
    EXPECT_EQ(past.end, Calendar::date(2026, 3, 30));
    EXPECT_EQ(past.end - past.start, 16 * 3600.0); // the lost hour lies before 08:00

    // A first segment before the change: the 8-hour minimum counts real hours.
    const Date autumn = Calendar::date(2026, 10, 25);
    const auto early = StripData::range({seg(autumn + 600, autumn + 1200)}, autumn, autumn + 1200);
    EXPECT_EQ(early.start, autumn);
    EXPECT_EQ(early.end, autumn + 8 * 3600.0);
    EXPECT_EQ(Calendar::hour(early.end), 7); // one hour repeated on the way
}

TEST(StripDataTest, CoalesceMergesTouchingNeighbours)
{
    const Date t = 1000000;
    EXPECT_TRUE(StripData::coalesce({}).empty());

    auto merged = StripData::coalesce(
        {seg(t, t + 60, ContextKind::deep, "A"), seg(t + 60.5, t + 120, ContextKind::deep, "A")});
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].end, t + 120);

    EXPECT_EQ(StripData::coalesce({seg(t, t + 60, ContextKind::deep, "A"),
                                   seg(t + 61, t + 120, ContextKind::deep, "A")})
                  .size(),
              2u);
    EXPECT_EQ(
        StripData::coalesce({seg(t, t + 60), seg(t + 60, t + 120, ContextKind::deep, "A")}).size(),
        2u);
    EXPECT_EQ(
        StripData::coalesce({seg(t, t + 60), seg(t + 60, t + 120, ContextKind::shallow)}).size(),
        2u);

    // Unsorted input comes back sorted; idle merges like any kind.
    merged = StripData::coalesce(
        {seg(t + 60, t + 120, ContextKind::idle), seg(t, t + 60, ContextKind::idle)});
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].start, t);
    EXPECT_EQ(merged[0].end, t + 120);
}

TEST(StripDataTest, CoalesceKeepsTheLaterEnd)
{
    const Date t = 1000000;
    // The second starts just before the first ends but ends earlier: the run is not cut short.
    const auto merged = StripData::coalesce({seg(t, t + 300), seg(t + 299.5, t + 100)});
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].end, t + 300);
}

TEST(StripDataTest, GeometryBarsAndHover)
{
    const StripGeometry geometry{0, 1000, 500};
    EXPECT_EQ(geometry.position(250), 125);
    EXPECT_EQ(geometry.position(-50), 0);
    EXPECT_EQ(geometry.position(5000), 500);
    const StripGeometry tiny{100, 100.5, 200};
    EXPECT_EQ(tiny.position(100.25), 50); // undivided seconds, clamped
    EXPECT_EQ(tiny.instantAt(100), 100.5);

    const std::vector<Segment> segments = {seg(-100, -50),                   // before the window
                                           seg(100, 100),                    // zero length
                                           seg(200, 400, ContextKind::idle), // idle: no bar
                                           seg(400, 600, ContextKind::shallow)};
    const auto bars = stripBars(segments, geometry);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0], (StripBar{0, ContextKind::deep, 0, 1, 1.0}));
    EXPECT_EQ(bars[1], (StripBar{1, ContextKind::deep, 50, 1, 1.0}));
    EXPECT_EQ(bars[2], (StripBar{3, ContextKind::shallow, 200, 100, 0.42}));
    EXPECT_EQ(barDepth(ContextKind::distraction), 0.26);
    EXPECT_EQ(barDepth(ContextKind::neutral), 0.16);
    EXPECT_EQ(barDepth(ContextKind::idle), 0);

    EXPECT_EQ(hoveredSegment(segments, geometry, 250), 3u); // 500 s: inside the shallow bar
    EXPECT_EQ(hoveredSegment(segments, geometry, 150), std::nullopt); // over idle
    EXPECT_EQ(hoveredSegment(segments, geometry, 300), std::nullopt); // the end is open

    EXPECT_EQ(tooltipX(140, 150), 0);
    EXPECT_EQ(tooltipX(400, 500), 310);
    EXPECT_EQ(tooltipX(30, 500), 0);
    EXPECT_EQ(tickLabelX(5, 500), 0);
    EXPECT_EQ(tickLabelX(495, 500), 472);
}

TEST(StripDataTest, HourTicksByWindowLength)
{
    ScopedTimeZone tz("Europe/Berlin");
    const Date eight = at(8, 8);
    const auto hours = [](const std::vector<Date>& ticks) {
        std::vector<int> result;
        for (Date t : ticks) {
            result.push_back(Calendar::hour(t));
        }
        return result;
    };
    EXPECT_EQ(hours(hourTicks(eight, eight + 8 * 3600)),
              (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(hours(hourTicks(eight, eight + 8 * 3600 + 1)), (std::vector<int>{8, 10, 12, 14, 16}));
    EXPECT_EQ(hours(hourTicks(eight, eight + 14 * 3600)),
              (std::vector<int>{8, 10, 12, 14, 16, 18, 20, 22}));
    EXPECT_EQ(hours(hourTicks(eight, eight + 14 * 3600 + 1)),
              (std::vector<int>{9, 12, 15, 18, 21}));
    // A start between hours labels from the next hour on.
    EXPECT_EQ(hours(hourTicks(eight + 90, eight + 3 * 3600)), (std::vector<int>{9, 10, 11}));
    // Across the autumn change the repeated hour is labelled twice.
    const Date autumn = Calendar::date(2026, 10, 25, 1);
    EXPECT_EQ(hours(hourTicks(autumn, autumn + 4 * 3600)), (std::vector<int>{1, 2, 2, 3, 4}));
}

TEST(StripDataTest, TooltipTexts)
{
    Segment s = seg(at(8, 9, 5), at(8, 10, 40), ContextKind::deep, "Kestrove");
    s.windowTitle = "StripData.cpp — kestrove";
    s.detectedProject = "kestrove";
    auto tooltip = stripTooltip(s, "en_US");
    EXPECT_EQ(tooltip.kindLabel, "Deep work");
    EXPECT_EQ(tooltip.timeRange, "9:05\u202fAM\u201310:40\u202fAM");
    EXPECT_EQ(tooltip.detail, "Kestrove · kestrove");
    EXPECT_EQ(tooltip.title, "StripData.cpp — kestrove");

    s.project.reset();
    s.detectedProject.reset();
    s.windowTitle = "Code";
    tooltip = stripTooltip(s, "en_US");
    EXPECT_EQ(tooltip.detail, "Code");
    EXPECT_EQ(tooltip.title, std::nullopt); // says nothing the hint does not
    EXPECT_EQ(stripKindLabel(ContextKind::shallow), "Shallow");
    EXPECT_EQ(stripKindLabel(ContextKind::neutral), "Neutral");
}
