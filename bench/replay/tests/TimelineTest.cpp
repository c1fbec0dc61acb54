#include "replay/SyntheticDays.h"
#include "replay/Timeline.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <set>

using namespace kestrove;
using namespace kestrove::replay;
using Type = TimelineEvent::Type;

TEST(TimelineTest, ReadsEveryKindOfLine)
{
    const auto timeline = parseTimeline("# a comment\n"
                                        "kestrove-timeline 1\r\n"
                                        "start 1000.5\n"
                                        "\n"
                                        "0 app com.microsoft.vscode Visual Studio Code\n"
                                        "1.5 title main.cpp — kestrove  \n"
                                        "2 url\n"
                                        "3 idle 12.5\n"
                                        "3 task 25 a.b,c.d Write  the tests\n"
                                        "4 task 5 - Read\n"
                                        "5 none\n"
                                        "9 end\n");
    EXPECT_EQ(timeline.start, 1000.5);
    EXPECT_EQ(timeline.duration, 9);
    ASSERT_EQ(timeline.events.size(), 7u);
    EXPECT_EQ(timeline.events[0].bundleID, "com.microsoft.vscode");
    EXPECT_EQ(timeline.events[0].text, "Visual Studio Code");
    EXPECT_EQ(timeline.events[1].text, "main.cpp — kestrove  ");
    EXPECT_EQ(timeline.events[2].type, Type::url);
    EXPECT_EQ(timeline.events[2].text, "");
    EXPECT_EQ(timeline.events[3].seconds, 12.5);
    EXPECT_EQ(timeline.events[4].seconds, 1500);
    EXPECT_EQ(timeline.events[4].allowedBundleIDs, (std::vector<std::string>{"a.b", "c.d"}));
    EXPECT_EQ(timeline.events[4].text, "Write  the tests");
    EXPECT_TRUE(timeline.events[5].allowedBundleIDs.empty());
    EXPECT_EQ(timeline.events[6].type, Type::none);
}

TEST(TimelineTest, NamesTheLineItCannotRead)
{
    const struct
    {
        const char* text;
        int line;
    } cases[] = {
        {"", 0},
        {"timeline\n", 1},
        {"kestrove-timeline 1\nstart soon\n", 2},
        {"kestrove-timeline 1\n5 input\n4 input\n", 3},
        {"kestrove-timeline 1\n5 jump\n", 2},
        {"kestrove-timeline 1\n5 idle -1\n", 2},
        {"kestrove-timeline 1\n5 idle\n", 2},
        {"kestrove-timeline 1\n5 sleep now\n", 2},
        {"kestrove-timeline 1\n5 app\n", 2},
        {"kestrove-timeline 1\n5 end\n6 input\n", 3},
        {"kestrove-timeline 1\n5 input\nstart 3\n", 3},
        {"kestrove-timeline 1\nnan input\n", 2},
    };
    for (const auto& c : cases) {
        try {
            parseTimeline(c.text);
            ADD_FAILURE() << c.text;
        } catch (const TimelineError& error) {
            EXPECT_EQ(error.line(), c.line) << c.text << error.what();
        }
    }
}

TEST(TimelineTest, SyntheticDaysReadBackAsWritten)
{
    const auto timeline = syntheticDays(14, Calendar::date(2026, 11, 2), 7);
    EXPECT_EQ(parseTimeline(formatTimeline(timeline)), timeline);
    EXPECT_EQ(syntheticDays(14, Calendar::date(2026, 11, 2), 7), timeline);
    EXPECT_NE(syntheticDays(14, Calendar::date(2026, 11, 2), 8), timeline);
}

// Across a clock change the days keep their local hours: work starts in the morning and the
// machine sleeps at night, in the right order, and every focus task ends.
TEST(TimelineTest, SyntheticDaysAreWorkWeeksWithNights)
{
    ScopedTimeZone tz("Europe/Berlin");
    const auto timeline = syntheticDays(14, Calendar::date(2026, 10, 19));
    EXPECT_EQ(timeline.start + timeline.duration, Calendar::date(2026, 11, 2));
    EXPECT_GE(Calendar::hour(timeline.start), 7);
    bool asleep = false;
    bool inTask = false;
    int tasks = 0;
    double last = 0;
    std::set<std::string> workDays;
    for (const auto& event : timeline.events) {
        ASSERT_GE(event.offset, last);
        last = event.offset;
        const Date at = timeline.start + event.offset;
        if (event.type == Type::sleep || event.type == Type::wake) {
            EXPECT_EQ(asleep, event.type == Type::wake);
            asleep = event.type == Type::sleep;
        } else {
            EXPECT_FALSE(asleep) << typeName(event.type) << " at " << event.offset;
        }
        if (event.type == Type::task || event.type == Type::endTask) {
            EXPECT_EQ(inTask, event.type == Type::endTask);
            inTask = event.type == Type::task;
            tasks += inTask ? 1 : 0;
        }
        if (event.type == Type::wake) {
            EXPECT_GE(Calendar::hour(at), 7);
        }
        if (event.type == Type::app && event.bundleID == "com.microsoft.vscode") {
            workDays.insert(Calendar::dayString(at));
        }
    }
    EXPECT_TRUE(asleep);
    EXPECT_FALSE(inTask);
    EXPECT_GE(tasks, 5);
    EXPECT_GE(workDays.size(), 10u);
    EXPECT_LE(workDays.size(), 12u); // a weekend day with some work at most now and then
}
