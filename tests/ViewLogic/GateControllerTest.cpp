#include "ViewLogic/Rituals/GateController.h"

#include "Engine/DayPlanStore.h"
#include "core/Calendar.h"
#include "support/FakeClock.h"
#include "support/FakeLockdown.h"
#include "support/FakeScheduler.h"
#include "support/FakeSystemEvents.h"
#include "support/LogCapture.h"
#include "support/ManualMainQueue.h"
#include "support/RecordingPreferences.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <array>

namespace kestrove {
namespace {

// A wall that records what it was asked and hands the test the form it would show.
struct RecordingWall final : GateWall
{
    bool up = false;
    int presents = 0;
    int builds = 0;
    int reasserts = 0;
    int dismissals = 0;
    std::optional<GateForm> form;
    std::function<void()> hatch;

    bool isPresenting() const override { return up; }
    void present(std::function<GateForm()> content) override
    {
        ++presents;
        if (up) {
            reassert();
            return;
        }
        up = true;
        ++builds;
        form = content();
    }
    void reassert() override { ++reasserts; }
    void dismiss() override
    {
        if (up) {
            ++dismissals;
        }
        up = false;
    }
    void setOnHatch(std::function<void()> onHatch) override { hatch = std::move(onHatch); }
};

struct RecordingEditor final : PlanEditorHost
{
    std::optional<GateForm> form;
    std::function<void()> onClosed;
    int opens = 0;
    int fronts = 0;

    bool isOpen() const override { return form.has_value(); }
    void open(GateForm shown, std::function<void()> closed) override
    {
        ++opens;
        form = std::move(shown);
        onClosed = std::move(closed);
    }
    void front() override { ++fronts; }
    void close() override
    {
        form.reset();
        if (onClosed) {
            onClosed();
        }
    }
};

DayPlan plannedFor(Date day)
{
    DayPlan plan = DayPlan::empty(day, day);
    plan.blocks.emplace_back("B1", "Parser", 90, std::nullopt, 540, std::nullopt, std::nullopt,
                             std::nullopt, std::nullopt, std::vector<std::string>{"code"},
                             BlockMode::locked);
    return plan;
}

// The fixtures' dates are Berlin's.
struct BerlinZone
{
    ScopedTimeZone zone{"Europe/Berlin"};
};

struct GateRig
{
    // Monday 5 January 2026, 08:59:30; the gate opens at 09:00 every day.
    explicit GateRig(Date now = Calendar::date(2026, 1, 5, 8, 59, 30)) : clock(now)
    {
        store.setConfig(MorningGateConfig(true, 9, 0, {}));
        watch = gate.dayPlanChanged().subscribe([this] { ++changes; });
    }

    void advance(double seconds)
    {
        scheduler.advance(seconds);
        queue.drain();
    }

    FakeClock clock;
    FakeScheduler scheduler{clock};
    ManualMainQueue queue;
    FakeSystemEvents events;
    FakeLockdownEnforcer lockdown;
    RecordingPreferences prefs;
    DayPlanStore store{prefs, clock};
    RecordingWall wall;
    RecordingEditor editor;
    bool taskRunning = false;
    GateController gate{
        {clock, scheduler, queue, events, [this] { return taskRunning; }, lockdown, wall, editor}};
    int changes = 0;
    Subscription watch;
};

struct GateTest : testing::Test, BerlinZone, GateRig
{
};

TEST_F(GateTest, NothingHappensBeforeStartAndTheTimerRaisesTheWallAtTheStartTime)
{
    gate.evaluate();
    gate.arm(true);
    gate.openEditor();
    EXPECT_EQ(wall.presents, 0);
    EXPECT_EQ(editor.opens, 0);

    gate.start(store);
    EXPECT_FALSE(gate.isUp()); // 08:59:30
    advance(30);               // 09:00:00
    ASSERT_TRUE(gate.isUp());
    EXPECT_FALSE(gate.isPreviewing());
    EXPECT_TRUE(lockdown.engaged);
    EXPECT_EQ(lockdown.mode, LockdownMode::morningGate());
    ASSERT_TRUE(wall.form);
    EXPECT_TRUE(wall.form->isWall);
    EXPECT_FALSE(wall.form->onClose); // a real gate has no close button
    EXPECT_EQ(wall.form->initialPlan.day, Calendar::date(2026, 1, 5));
    advance(300); // further evaluations leave the standing wall alone
    EXPECT_EQ(wall.presents, 1);
}

struct LateGateTest : testing::Test, BerlinZone, GateRig
{
    LateGateTest() : GateRig(Calendar::date(2026, 1, 5, 10, 0)) {}
};

TEST_F(LateGateTest, StartedAfterTheStartTimeRaisesTheWallAtOnce)
{
    gate.start(store);
    EXPECT_TRUE(gate.isUp());
}

TEST_F(LateGateTest, ARunningFocusTaskDefersTheWallUntilItsEnd)
{
    LogCapture log;
    taskRunning = true;
    gate.start(store);
    advance(60);
    EXPECT_FALSE(gate.isUp());
    EXPECT_EQ(log.count("gate deferred: lock-in running"), 3);
    taskRunning = false;
    gate.evaluate(); // what the engine does when the task ends
    EXPECT_TRUE(gate.isUp());
    // A task started while the wall stands leaves it up.
    taskRunning = true;
    advance(30);
    EXPECT_TRUE(gate.isUp());
}

TEST_F(LateGateTest, WakeUnlockAndSessionActivationEachEvaluate)
{
    store.setConfig(MorningGateConfig(false, 9, 0, {}));
    gate.start(store);
    const auto raisedBy = [&](const std::function<void()>& trigger) {
        store.setConfig(MorningGateConfig(true, 9, 0, {}));
        trigger();
        const bool before = gate.isUp();
        queue.drain();
        const bool after = gate.isUp();
        store.setConfig(MorningGateConfig(false, 9, 0, {}));
        gate.evaluate();
        return !before && after;
    };
    EXPECT_TRUE(raisedBy([&] { events.sleep(), events.wake(); }));
    EXPECT_TRUE(raisedBy([&] { events.lock(true), events.lock(false); }));
    EXPECT_TRUE(raisedBy([&] { events.setSessionActive(false), events.setSessionActive(true); }));
    EXPECT_FALSE(raisedBy([&] { events.setSessionActive(false); }));
}

TEST_F(LateGateTest, TheRuleNoLongerHoldingReleasesTheWallButNeverAPreview)
{
    gate.start(store);
    ASSERT_TRUE(gate.isUp());
    store.setConfig(MorningGateConfig(false, 9, 0, {}));
    advance(30);
    EXPECT_FALSE(gate.isUp());
    EXPECT_FALSE(lockdown.engaged);
    EXPECT_EQ(wall.dismissals, 1);

    gate.arm(true);
    ASSERT_TRUE(gate.isPreviewing());
    ASSERT_TRUE(wall.form->onClose);
    advance(120);
    EXPECT_TRUE(gate.isUp());
    wall.form->onClose();
    EXPECT_TRUE(gate.isUp()); // on a later turn
    queue.drain();
    EXPECT_FALSE(gate.isUp());
    EXPECT_EQ(changes, 0);
}

TEST_F(LateGateTest, ASubmittedPlanReleasesOnceAndNotifiesOnceWhateverRunsMeanwhile)
{
    struct Case
    {
        const char* name;
        std::function<void(GateRig&)> between; // after the click, before its turn
        std::function<void(GateRig&)> after;
    };
    const Case cases[] = {
        {"alone", [](GateRig&) {}, [](GateRig&) {}},
        {"timer before", [](GateRig& t) { t.scheduler.advance(30); }, [](GateRig&) {}},
        {"evaluation after", [](GateRig&) {}, [](GateRig& t) { t.gate.evaluate(); }},
        {"second click", [](GateRig& t) { t.wall.form->onSubmit(plannedFor(t.store.draft().day)); },
         [](GateRig&) {}},
    };
    for (const Case& c : cases) {
        GateRig t(Calendar::date(2026, 1, 5, 10, 0));
        t.gate.start(t.store);
        ASSERT_TRUE(t.gate.isUp()) << c.name;
        t.wall.form->onSubmit(plannedFor(t.store.draft().day));
        c.between(t);
        t.queue.drain();
        c.after(t);
        t.queue.drain();
        EXPECT_FALSE(t.gate.isUp()) << c.name;
        EXPECT_EQ(t.wall.dismissals, 1) << c.name;
        EXPECT_EQ(t.changes, 1) << c.name;
        EXPECT_EQ(t.lockdown.disengages, 1) << c.name;
        ASSERT_TRUE(t.store.today()) << c.name;
        EXPECT_TRUE(t.store.today()->isComplete()) << c.name;
        // The day is planned: later evaluations leave the wall down.
        t.advance(90);
        EXPECT_FALSE(t.gate.isUp()) << c.name;
    }
}

TEST_F(LateGateTest, TheHatchMarksTheDaySkippedThenReleases)
{
    gate.start(store);
    ASSERT_TRUE(wall.hatch);
    wall.hatch();
    queue.drain();
    EXPECT_FALSE(gate.isUp());
    ASSERT_TRUE(store.today());
    EXPECT_TRUE(store.today()->isSkipped());
    advance(60);
    EXPECT_FALSE(gate.isUp());
    EXPECT_EQ(changes, 0);
}

TEST_F(LateGateTest, TheEditorOpensOnceSavesAndCloses)
{
    gate.start(store);
    gate.openEditor();
    gate.openEditor();
    EXPECT_EQ(editor.opens, 1);
    EXPECT_EQ(editor.fronts, 1);
    ASSERT_TRUE(editor.form);
    EXPECT_FALSE(editor.form->isWall);
    ASSERT_TRUE(editor.form->onClose);

    editor.form->onSubmit(plannedFor(store.draft().day));
    queue.drain();
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(store.today()->isComplete());
    // The editor does not touch the wall; the next evaluation does.
    EXPECT_TRUE(gate.isUp());
    gate.evaluate();
    EXPECT_FALSE(gate.isUp());

    gate.openEditor();
    EXPECT_EQ(editor.form->initialPlan.blocks.size(), 1u); // the stored plan
    editor.form->onClose();
    queue.drain();
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(changes, 1);
}

// The first look on a new day only reloads; the next applies the rule to the new day.
TEST(GateDayTest, ANewDayIsFirstReloadedThenJudged)
{
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        ScopedTimeZone tz(zone);
        struct Day
        {
            Date evening; // the wall is up, unplanned
            Date midnight;
        };
        // An ordinary night, and the nights into the spring and autumn clock changes.
        const Day days[] = {
            {Calendar::date(2026, 1, 5, 23, 59, 40), Calendar::date(2026, 1, 6)},
            {Calendar::date(2026, 3, 28, 23, 59, 40), Calendar::date(2026, 3, 29)},
            {Calendar::date(2026, 10, 24, 23, 59, 40), Calendar::date(2026, 10, 25)},
            {Calendar::date(2026, 11, 1, 23, 59, 40), Calendar::date(2026, 11, 2)},
        };
        for (const Day& d : days) {
            GateRig t(d.evening);
            t.gate.start(t.store);
            ASSERT_TRUE(t.gate.isUp()) << zone;
            // Midnight passes between two timer fires.
            t.advance(30);
            ASSERT_GE(t.clock.now(), d.midnight);
            EXPECT_TRUE(t.gate.isUp()) << zone << " " << d.midnight;
            t.advance(30);
            EXPECT_FALSE(t.gate.isUp()) << zone << " " << d.midnight; // before 09:00
            // On the new day at nine it rises again, the new day's plan on it.
            t.scheduler.advance(Calendar::date(Calendar::components(d.midnight).year,
                                               Calendar::components(d.midnight).month,
                                               Calendar::components(d.midnight).day, 9) +
                                30 - t.clock.now());
            t.queue.drain();
            EXPECT_TRUE(t.gate.isUp()) << zone << " " << d.midnight;
            EXPECT_EQ(t.wall.form->initialPlan.day, d.midnight) << zone;
        }
    }
}

// ---- The hatch ----

struct HatchTest : testing::Test
{
    FakeClock clock{Calendar::date(2026, 1, 5, 10)};
    FakeScheduler scheduler{clock};
    ManualMainQueue queue;
    WallHatch hatch{scheduler, queue};
    bool up = true;
    int fired = 0;

    HatchTest()
    {
        hatch.isUp = [this] { return up; };
        hatch.onHatch = [this] { ++fired; };
    }
    void wait(double seconds)
    {
        scheduler.advance(seconds);
        queue.drain();
    }
};

TEST_F(HatchTest, FiresAfterFiveSecondsOfAllThreeAndNotJustBefore)
{
    hatch.handleFlags(true, true, true);
    wait(4.9);
    EXPECT_EQ(fired, 0);
    hatch.handleFlags(true, true, true); // another key change with the three held
    wait(0.1);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(hatch.isCounting());
}

TEST_F(HatchTest, LettingGoOfOneKeyStartsAFullCountAgain)
{
    for (const auto& release : {std::array{false, true, true}, std::array{true, false, true},
                                std::array{true, true, false}}) {
        fired = 0;
        hatch.handleFlags(true, true, true);
        wait(4.9);
        hatch.handleFlags(release[0], release[1], release[2]);
        wait(1);
        EXPECT_EQ(fired, 0);
        hatch.handleFlags(true, true, true);
        wait(4.9);
        EXPECT_EQ(fired, 0);
        wait(0.1);
        EXPECT_EQ(fired, 1);
    }
}

TEST_F(HatchTest, NothingFiresOnceTheWallIsDownOrReset)
{
    hatch.handleFlags(true, true, true);
    wait(2);
    hatch.reset();
    wait(10);
    EXPECT_EQ(fired, 0);

    hatch.handleFlags(true, true, true);
    scheduler.advance(5);
    up = false; // came down before the count's turn
    queue.drain();
    EXPECT_EQ(fired, 0);
}

} // namespace
} // namespace kestrove
