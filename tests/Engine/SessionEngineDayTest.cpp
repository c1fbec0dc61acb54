#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include "core/Calendar.h"
#include "core/Uuid.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

class SessionEngineDayTest : public ::testing::Test
{
protected:
    ScopedTimeZone tz{"Europe/Berlin"};
};

Project newProject(SessionEngine& engine, const std::string& name)
{
    Project p;
    p.name = name;
    p.color = "teal";
    p.area = "Work";
    return engine.projects().add(p);
}

} // namespace

TEST_F(SessionEngineDayTest, AssignChoosesTheRuleByTheHintsShape)
{
    struct Row
    {
        const char* hint;
        ProjectRule rule;
    };
    const Row rows[] = {
        {"GitHub.com", ProjectRule::domain("github.com")},
        {"Visual Editor", ProjectRule::app("org.example.editor")},
        {"Draft Notes", ProjectRule::titleContains("Draft Notes")},
        {"docs.rs/serde", ProjectRule::titleContains("docs.rs/serde")},
    };
    for (const Row& row : rows) {
        EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
        rig.desktop.running = {{"Org.Example.Editor", "Visual Editor"}};
        rig.start();
        const Project project = newProject(*rig.engine, "Thesis");
        bool ok = false;
        rig.engine->assign(row.hint, project, [&](bool result) { ok = result; });
        rig.settle();
        EXPECT_TRUE(ok);
        const auto stored = rig.engine->projects().projectWithID(project.id);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->rules, std::vector<ProjectRule>{row.rule}) << row.hint;
    }
}

TEST_F(SessionEngineDayTest, AssignRelabelsUnassignedWorkAndReportsAFailure)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.run(120);
    rig.show("org.gnome.nautilus");
    rig.run(1);
    const Project project = newProject(*rig.engine, "Compiler");
    rig.engine->assign("com.jetbrains.clion", project);
    rig.settle();
    EXPECT_EQ(
        rig.rows("SELECT project, area FROM segments WHERE bundle_id = 'com.jetbrains.clion'")[0],
        (std::vector<std::string>{"Compiler", "Work"}));

    rig.engine->stop();
    rig.settle();
    bool ok = true;
    rig.engine->assign("com.jetbrains.clion", project, [&](bool result) { ok = result; });
    rig.settle();
    EXPECT_FALSE(ok); // the database is closed
}

TEST_F(SessionEngineDayTest, ShutdownStoresTheDayAndTheTrimmedPlan)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 21, 0, 0));
    rig.engine->completeShutdown("  Parser first\n");
    EXPECT_TRUE(rig.engine->isShutdownComplete());
    EXPECT_EQ(rig.prefs.string(SessionEngine::kShutdownDateKey), "2026-03-10");
    EXPECT_EQ(rig.prefs.boolValue(SessionEngine::kIsShutdownKey), true);
    EXPECT_EQ(rig.prefs.string(SessionEngine::kTomorrowPlanKey), "Parser first");
    EXPECT_EQ(rig.prefs.string(SessionEngine::kTomorrowPlanWrittenOnKey), "2026-03-10");
    EXPECT_FALSE(rig.engine->planForToday()); // written tonight

    rig.clock.advance(86400);
    rig.engine->completeShutdown(" \t ");
    EXPECT_FALSE(rig.prefs.contains(SessionEngine::kTomorrowPlanKey));
    EXPECT_EQ(rig.prefs.string(SessionEngine::kTomorrowPlanWrittenOnKey), "2026-03-10");
}

TEST_F(SessionEngineDayTest, ResetTodayKeepsYesterdaysPartOfASegmentOnShortAndLongDays)
{
    struct Row
    {
        const char* zone;
        int year, month, day; // the day after the clock change
    };
    // 29 March 2026 has 23 hours in Berlin, 1 November 2026 has 25 in New York.
    const Row rows[] = {{"Europe/Berlin", 2026, 3, 29}, {"America/New_York", 2026, 11, 1}};
    for (const Row& row : rows) {
        ScopedTimeZone zone(row.zone);
        const Date midnight = Calendar::date(row.year, row.month, row.day);
        EngineRig rig(midnight - 120);
        rig.show("com.jetbrains.clion");
        rig.start();
        rig.run(240); // two minutes on either side of midnight, one segment
        // One stretch late in the short or long day, one early in the next.
        const Date dayEnd = Calendar::addingDays(midnight, 1);
        for (const Date start : {dayEnd - 600, dayEnd + 60}) {
            Segment stored;
            stored.start = start;
            stored.end = start + 300;
            stored.appName = "Editor";
            stored.kind = ContextKind::deep;
            rig.engine->database().run([stored](Database& db) { db.insertSegment(stored); });
        }
        bool ok = false;
        rig.engine->resetToday([&](bool result) { ok = result; });
        rig.settle();
        EXPECT_TRUE(ok);
        std::vector<std::vector<std::string>> expected = {
            {std::to_string(static_cast<long long>(midnight - 120)),
             std::to_string(static_cast<long long>(midnight))},
            {std::to_string(static_cast<long long>(dayEnd + 60)),
             std::to_string(static_cast<long long>(dayEnd + 360))}};
        EXPECT_EQ(rig.rows("SELECT CAST(start_ts AS INTEGER), CAST(end_ts AS INTEGER) FROM "
                           "segments WHERE start_ts < " +
                           std::to_string(static_cast<long long>(midnight)) + " OR start_ts > " +
                           std::to_string(static_cast<long long>(dayEnd - 1))),
                  expected)
            << row.zone;
        EXPECT_EQ(rig.rows("SELECT COUNT(*) FROM segments WHERE start_ts >= " +
                           std::to_string(static_cast<long long>(midnight)) + " AND start_ts < " +
                           std::to_string(static_cast<long long>(midnight + 120)))[0][0],
                  "0")
            << row.zone;
        EXPECT_EQ(rig.engine->today().deepSeconds, 0) << row.zone;
        EXPECT_TRUE(rig.tracker.isRunning());
    }
}

TEST_F(SessionEngineDayTest, ResetTodayReportsADeleteThatFailed)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.run(60);
    rig.engine->database().run([](Database& db) {
        db.execute("CREATE TRIGGER keep BEFORE DELETE ON segments"
                   " BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    });
    std::optional<bool> ok;
    rig.engine->resetToday([&](bool result) { ok = result; });
    rig.settle();
    EXPECT_EQ(ok, false);
}

TEST_F(SessionEngineDayTest, DeleteAllHistoryEmptiesTheRecordButKeepsTheTask)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 9, 0, 0));
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.run(60);
    FocusTask task;
    task.id = Uuid::generate();
    task.name = "Parser";
    task.estimatedSeconds = 1800;
    task.startedAt = rig.clock.now();
    rig.engine->startFocusTask(task);
    rig.run(5);
    bool ok = false;
    rig.engine->deleteAllHistory([&](bool result) { ok = result; });
    rig.settle();
    EXPECT_TRUE(ok);
    EXPECT_EQ(rig.rows("SELECT COUNT(*) FROM segments WHERE end_ts < " +
                       std::to_string(static_cast<long long>(rig.clock.now())))[0][0],
              "0");
    EXPECT_EQ(rig.engine->streak(), Streak());
    EXPECT_TRUE(rig.engine->focusTaskManager().active());
    EXPECT_TRUE(rig.tracker.isRunning());
    EXPECT_EQ(rig.engine->today().deepSeconds, 0);
}
