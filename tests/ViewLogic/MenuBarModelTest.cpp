#include "ViewLogic/Shell/MenuBarModel.h"

#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

FocusTask task(const std::string& id, double estimate, double onTask)
{
    FocusTask result;
    result.id = id;
    result.name = "Write";
    result.estimatedSeconds = estimate;
    result.cumulativeOnTaskSeconds = onTask;
    return result;
}

Project project(const std::string& id, const std::string& name)
{
    Project result;
    result.id = id;
    result.name = name;
    result.color = "teal";
    return result;
}

} // namespace

TEST(MenuBarModelTest, NowTitleFromPauseAwayIdleThenPhaseBreakOrKind)
{
    struct Case
    {
        const char* what;
        NowInputs inputs;
        const char* title;
    };
    NowInputs deep;
    deep.kind = ContextKind::deep;
    deep.liveSessionSeconds = 23 * 60 + 5;
    deep.phase = SessionPhase::buildingFocus;
    deep.projectName = "Thesis";
    deep.detectedHint = "thesis-repo";
    const auto with = [](NowInputs inputs, auto change) {
        change(inputs);
        return inputs;
    };
    const Case cases[] = {
        {"phase, live time, project", deep, "Building Focus · 23m 05s · Thesis"},
        {"hint without project", with(deep, [](auto& i) { i.projectName.reset(); }),
         "Building Focus · 23m 05s · thesis-repo"},
        {"peak",
         with(deep,
              [](auto& i) {
                  i.phase = SessionPhase::peakFocus;
                  i.liveSessionSeconds = 3600;
                  i.projectName.reset();
                  i.detectedHint.reset();
              }),
         "Peak Focus · 1h 00m"},
        {"deep with no session time falls to the kind",
         with(deep, [](auto& i) { i.liveSessionSeconds = 0; }), "Deep work · Thesis"},
        {"deep with no session time and a break running",
         with(deep,
              [](auto& i) {
                  i.liveSessionSeconds = 0;
                  i.distractionSecondsRemaining = 61.2;
              }),
         "Block breaks in 1:02 · Thesis"},
        {"distraction during the grace",
         with(deep,
              [](auto& i) {
                  i.kind = ContextKind::distraction;
                  i.distractionSecondsRemaining = 120;
                  i.projectName.reset();
                  i.detectedHint.reset();
              }),
         "Block breaks in 2:00"},
        {"shallow kind name", with(deep, [](auto& i) { i.kind = ContextKind::shallow; }),
         "Shallow · Thesis"},
        {"idle wins over the kind", with(deep, [](auto& i) { i.isIdle = true; }), "Idle"},
        {"away block wins over idle",
         with(deep,
              [](auto& i) {
                  i.isIdle = true;
                  i.isAwayBlock = true;
              }),
         "Away block · counting"},
        {"pause wins over everything",
         with(deep,
              [](auto& i) {
                  i.isIdle = true;
                  i.isAwayBlock = true;
                  i.isPaused = true;
              }),
         "Paused"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nowTitle(c.inputs), c.title) << c.what;
    }
}

TEST(MenuBarModelTest, PhaseNamesAreCapitalisedAndKindNamesAreSentenceCase)
{
    EXPECT_EQ(phaseName(SessionPhase::idle), "Idle");
    EXPECT_EQ(phaseName(SessionPhase::warmingUp), "Warming Up");
    EXPECT_EQ(phaseName(SessionPhase::buildingFocus), "Building Focus");
    EXPECT_EQ(phaseName(SessionPhase::deepWork), "Deep Work");
    EXPECT_EQ(phaseName(SessionPhase::peakFocus), "Peak Focus");
    EXPECT_EQ(kindName(ContextKind::deep), "Deep work");
    EXPECT_EQ(kindName(ContextKind::shallow), "Shallow");
    EXPECT_EQ(kindName(ContextKind::distraction), "Distraction");
    EXPECT_EQ(kindName(ContextKind::neutral), "Neutral");
    EXPECT_EQ(kindName(ContextKind::idle), "Idle");
}

TEST(MenuBarModelTest, PauseLabelsCountDownAndNeverGoNegative)
{
    const Date now = 1'000'000;
    EXPECT_EQ(pausedLabel(std::nullopt, now), "Paused");
    EXPECT_EQ(pausedLabel(now + 750, now), "Paused · 12:30 left");
    EXPECT_EQ(pausedLabel(now + 0.2, now), "Paused · 0:01 left");
    EXPECT_EQ(pausedLabel(now - 30, now), "Paused · 0:00 left");
}

TEST(MenuBarModelTest, GoalLineShowsWhatIsLeftOrThatItIsReached)
{
    EXPECT_EQ(goalLine(false, 4, 2 * 3600 + 40 * 60, "4h"), "1h 20m to 4h");
    EXPECT_EQ(goalLine(false, 4, 0, "4h"), "4h to 4h");
    EXPECT_EQ(goalLine(false, 2.5, 2.5 * 3600 - 30, "2.5h"), "<1m to 2.5h");
    // Beyond the goal without the flag (a goal just lowered): never a negative time.
    EXPECT_EQ(goalLine(false, 1, 2 * 3600, "1h"), "0m to 1h");
    EXPECT_EQ(goalLine(true, 4, 5 * 3600, "4h"), "Goal reached");
}

TEST(MenuBarModelTest, LockInStateWordCountdownAndBar)
{
    EXPECT_EQ(lockInStateWord(true, true), "on task");
    EXPECT_EQ(lockInStateWord(false, true), "paused, idle");
    EXPECT_EQ(lockInStateWord(false, false), "paused");
    EXPECT_EQ(taskCounting(true), TaskCounting::onTask);
    EXPECT_EQ(taskCounting(false), TaskCounting::paused);

    EXPECT_EQ(lockInCountdown(std::nullopt), "\u2014");
    EXPECT_EQ(lockInCountdown(task("a", 2700, 0)), "45:00");
    EXPECT_EQ(lockInCountdown(task("a", 3600, 3600 - 59.2)), "1:00");
    EXPECT_EQ(lockInCountdown(task("a", 60, 0.8)), "1:00");
    EXPECT_EQ(lockInCountdown(task("a", 600, 900)), "0:00");
    EXPECT_EQ(lockInCountdown(task("a", 0, 0)), "0:00");

    EXPECT_EQ(lockInProgress(task("a", 0, 10)), std::nullopt);
    EXPECT_DOUBLE_EQ(*lockInProgress(task("a", 1000, 250)), 0.25);
}

TEST(MenuBarModelTest, ProjectLinesTakeTheFirstFourAndMarkTheUnassignedBucket)
{
    std::vector<TimeShare> shares;
    for (const char* name : {"Thesis", "Unassigned", "Garden", "Site", "Five", "Six"}) {
        shares.push_back({name, 5400, std::string("teal")});
    }
    const auto lines = projectLines(shares);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (ProjectLine{"Thesis", "teal", "1h 30m", false}));
    // The bucket's dot takes the fallback colour whatever the summary carries.
    EXPECT_EQ(lines[1], (ProjectLine{"Unassigned", std::nullopt, "1h 30m", true}));
    EXPECT_EQ(lines[3].name, "Site");
    EXPECT_TRUE(projectLines({}).empty());
}

TEST(MenuBarModelTest, PinMenuEntriesFollowTheProjectsAndThePin)
{
    using Kind = PinMenuEntry::Kind;
    const auto kinds = [](const std::vector<PinMenuEntry>& entries) {
        std::vector<Kind> result;
        for (const auto& entry : entries) {
            result.push_back(entry.kind);
        }
        return result;
    };
    const auto empty = pinMenuEntries({}, std::nullopt);
    EXPECT_EQ(kinds(empty), (std::vector{Kind::noProjects, Kind::manage}));
    EXPECT_EQ(empty[0].label, "No projects yet");
    EXPECT_EQ(empty[1].label, "Manage projects…");

    const std::vector projects = {project("A", "Thesis"), project("B", "Garden")};
    const auto unpinned = pinMenuEntries(projects, std::nullopt);
    EXPECT_EQ(kinds(unpinned), (std::vector{Kind::project, Kind::project}));
    EXPECT_FALSE(unpinned[0].isChecked || unpinned[1].isChecked);

    const auto pinned = pinMenuEntries(projects, "B");
    EXPECT_EQ(kinds(pinned),
              (std::vector{Kind::project, Kind::project, Kind::divider, Kind::unpin}));
    EXPECT_FALSE(pinned[0].isChecked);
    EXPECT_TRUE(pinned[1].isChecked);
    EXPECT_EQ(pinned[3].label, "Unpin");

    // A pin on an archived project: no row is checked, and it can still be undone.
    const auto archived = pinMenuEntries(projects, "Z");
    EXPECT_EQ(kinds(archived).back(), Kind::unpin);
    EXPECT_FALSE(archived[0].isChecked || archived[1].isChecked);
    EXPECT_EQ(pinMenuLabel(std::nullopt), "Working on…");
    EXPECT_EQ(pinMenuLabel(project("A", "Thesis")), "Thesis");

    // The pinned one again unpins; another moves the pin in one step.
    EXPECT_EQ(pinChoice("B", "B"), std::nullopt);
    EXPECT_EQ(pinChoice("A", "B"), "A");
    EXPECT_EQ(pinChoice("A", std::nullopt), "A");
}

TEST(MenuBarModelTest, MoreMenuFollowsThePauseAndTheShutdown)
{
    using Kind = MoreMenuEntry::Kind;
    const auto labels = [](bool paused, bool shutdown) {
        std::vector<std::string> result;
        for (const auto& entry : moreMenuEntries(paused, shutdown)) {
            result.push_back(entry.kind == Kind::divider ? "--" : entry.label);
        }
        return result;
    };
    EXPECT_EQ(labels(false, false),
              (std::vector<std::string>{"Pause tracking", "--", "Shutdown ritual…", "Settings…",
                                        "--", "Quit Kestrove"}));
    EXPECT_EQ(labels(true, true), (std::vector<std::string>{"Resume tracking", "--", "Settings…",
                                                            "--", "Quit Kestrove"}));
    const auto pauses = pauseChoices();
    ASSERT_EQ(pauses.size(), 3u);
    EXPECT_EQ(pauses[0], (PauseChoice{"For 15 minutes", 15}));
    EXPECT_EQ(pauses[1], (PauseChoice{"For 1 hour", 60}));
    EXPECT_EQ(pauses[2], (PauseChoice{"Until I resume", std::nullopt}));

    EXPECT_EQ(popoverActions(false),
              (std::vector{PopoverAction::dashboard, PopoverAction::lockIn, PopoverAction::share}));
    EXPECT_EQ(popoverActions(true), (std::vector{PopoverAction::dashboard, PopoverAction::share}));
}

TEST(MenuBarModelTest, TheFinishQuestionBelongsToOneTask)
{
    FinishConfirmation finish;
    const auto first = std::optional(task("first", 600, 0));
    const auto second = std::optional(task("second", 600, 0));
    finish.ask(std::nullopt);
    EXPECT_FALSE(finish.isConfirming(first));

    finish.ask(first);
    EXPECT_TRUE(finish.isConfirming(first));
    finish.cancel();
    EXPECT_FALSE(finish.isConfirming(first));

    // Asked for one task, the question does not carry over to the next one.
    finish.ask(first);
    EXPECT_FALSE(finish.isConfirming(std::nullopt));
    EXPECT_FALSE(finish.isConfirming(second));
    EXPECT_FALSE(finish.confirm(second));
    EXPECT_FALSE(finish.isConfirming(first));

    finish.ask(first);
    EXPECT_TRUE(finish.confirm(first));
    EXPECT_FALSE(finish.isConfirming(first));
}

TEST(MenuBarModelTest, ContentReadsTheEngine)
{
    EngineRig rig(Calendar::date(2026, 12, 7, 9, 0));
    rig.start();
    rig.show("com.microsoft.vscode", "notes");
    rig.run(65 * 60);
    MenuBarContent content = menuBarContent(*rig.engine);
    EXPECT_EQ(content.heroValue, "1:05");
    EXPECT_EQ(content.heroUnit, "hours");
    EXPECT_EQ(content.nowTitle.rfind("Peak Focus · 1h 05m", 0), 0u) << content.nowTitle;
    EXPECT_FALSE(content.hasTask);
    EXPECT_FALSE(content.showFixPermission);

    rig.engine->pauseTracking(15);
    rig.run(1);
    content = menuBarContent(*rig.engine);
    EXPECT_TRUE(content.isPaused);
    EXPECT_EQ(content.nowTitle, "Paused");
    EXPECT_EQ(content.goalOrPauseLine, "Paused · 14:59 left");
}
