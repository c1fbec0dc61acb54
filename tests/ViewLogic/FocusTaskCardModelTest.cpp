#include "ViewLogic/Focus/FocusTaskCardModel.h"
#include "Platform/InstalledApps.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

struct CardRig : EngineRig
{
    CardRig() : EngineRig(Calendar::date(2026, 3, 5, 9, 0))
    {
        start();
        apps.refresh();
        apps.waitForScan();
        settle();
    }
    InstalledApps apps{[] {
                           return std::vector<InstalledApp>{
                               {"org.gnome.nautilus", "Files", ""},
                               {"org.gnome.terminal", "Terminal", ""},
                               {"org.keepassxc.keepassxc", "KeePassXC", ""},
                           };
                       },
                       mainQueue};
};

TEST(FocusTaskCardModelTest, LengthsReadAsTheMenuShowsThem)
{
    std::vector<std::string> labels;
    for (const auto minutes : FocusTaskCardModel::kLengthOptions) {
        labels.push_back(FocusTaskCardModel::lengthLabel(minutes));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"15 min", "25 min", "30 min", "45 min", "1h",
                                                "1h 30m", "2h", "3h"}));
    EXPECT_EQ(FocusTaskCardModel::lengthLabel(59), "59 min");
    EXPECT_EQ(FocusTaskCardModel::lengthLabel(61), "1h 1m");
}

TEST(FocusTaskCardModelTest, TheFormStartsFromTheLastStartWithinTheLengthsOffered)
{
    const struct
    {
        std::optional<std::int64_t> stored;
        std::int64_t minutes;
    } cases[] = {
        {std::nullopt, 45}, {0, 45},  {-30, 45},  {181, 45},
        {100000, 45},       {15, 15}, {180, 180}, {50, 50},
    };
    for (const auto& c : cases) {
        RecordingPreferences prefs;
        if (c.stored) {
            prefs.setInteger("lastLockInMinutes", *c.stored);
        }
        EXPECT_EQ(FocusTaskCardModel::initialForm(prefs).durationMinutes, c.minutes)
            << c.stored.value_or(-1);
    }
    RecordingPreferences prefs;
    prefs.setStringArray("lastFocusTaskAllowedBundleIDs", {"Org.Gnome.Terminal", "a.b"});
    const auto form = FocusTaskCardModel::initialForm(prefs);
    EXPECT_EQ(form.selectedBundleIDs, (AppSelection{"Org.Gnome.Terminal", "a.b"}));
    EXPECT_EQ(form.taskName, "");
    EXPECT_EQ(form.projectID, std::nullopt);
}

TEST(FocusTaskCardModelTest, StartNeedsANameThatIsMoreThanSpaceAndAtLeastOneApp)
{
    const struct
    {
        const char* name;
        AppSelection apps;
        bool can;
    } cases[] = {
        {"Write", {"a.b"}, true}, {"  Write\t", {"a.b"}, true}, {"", {"a.b"}, false},
        {" \t ", {"a.b"}, false}, {"\n\r\n", {"a.b"}, false},   {"\u00A0\u2003", {"a.b"}, false},
        {"Write", {}, false},
    };
    for (const auto& c : cases) {
        CardRig rig;
        FocusTaskForm form{c.name, 25, c.apps, std::nullopt};
        EXPECT_EQ(FocusTaskCardModel::canStart(form), c.can) << c.name;
        EXPECT_EQ(FocusTaskCardModel::start(form, *rig.engine), c.can) << c.name;
        EXPECT_EQ(rig.engine->focusTaskManager().active().has_value(), c.can) << c.name;
        EXPECT_EQ(rig.prefs.contains("lastLockInMinutes"), c.can) << c.name;
    }
}

TEST(FocusTaskCardModelTest, AStartWritesTheTaskAndRemembersTheForm)
{
    CardRig rig;
    const Project project = rig.engine->projects().add({"", "Kestrove", "violet", {}, {}, false});
    FocusTaskForm form{
        "\n Ship the picker \n", 90, {"Org.Gnome.Terminal", "org.gnome.nautilus"}, project.id};
    ASSERT_TRUE(FocusTaskCardModel::start(form, *rig.engine));

    const auto& task = rig.engine->focusTaskManager().active();
    ASSERT_TRUE(task);
    EXPECT_EQ(task->name, "Ship the picker");
    EXPECT_EQ(task->estimatedSeconds, 5400.0);
    EXPECT_EQ(task->allowedBundleIDs,
              (std::vector<std::string>{"org.gnome.terminal", "org.gnome.nautilus"}));
    EXPECT_TRUE(task->isLockdown);
    EXPECT_EQ(task->startedAt, rig.clock.now());
    EXPECT_EQ(task->projectID, project.id);
    EXPECT_EQ(task->projectName, "Kestrove");
    EXPECT_TRUE(rig.lockdown.engaged);

    EXPECT_EQ(rig.prefs.integer("lastLockInMinutes"), 90);
    EXPECT_EQ(rig.prefs.stringArray("lastFocusTaskAllowedBundleIDs"),
              (std::vector<std::string>{"Org.Gnome.Terminal", "org.gnome.nautilus"}));
    EXPECT_EQ(form.taskName, "");
    EXPECT_EQ(form.durationMinutes, 90);
    EXPECT_EQ(form.projectID, project.id);
}

TEST(FocusTaskCardModelTest, AProjectThatIsGoneStartsWithoutProject)
{
    CardRig rig;
    FocusTaskForm form{"Write", 25, {"a.b"}, "00000000-0000-4000-8000-000000000000"};
    ASSERT_TRUE(FocusTaskCardModel::start(form, *rig.engine));
    EXPECT_EQ(rig.engine->focusTaskManager().active()->projectID, std::nullopt);
    EXPECT_EQ(rig.engine->focusTaskManager().active()->projectName, std::nullopt);
}

TEST(FocusTaskCardModelTest, AlwaysAllowedLineNamesThreeAndCountsTheRest)
{
    CardRig rig;
    const struct
    {
        std::vector<std::string> ids;
        std::optional<std::string> line;
    } cases[] = {
        {{}, std::nullopt},
        {{"org.gnome.nautilus"}, "+ always allowed: Files"},
        {{"org.gnome.nautilus", "org.gnome.terminal", "com.google.chrome"},
         "+ always allowed: Files, Terminal, Chrome"},
        {{"org.gnome.nautilus", "org.gnome.terminal", "com.google.chrome", "x.y"},
         "+ always allowed: Files, Terminal, Chrome and 1 more"},
        {{"a", "b", "c", "d", "e", "f"}, "+ always allowed: A, B, C and 3 more"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FocusTaskCardModel::alwaysAllowedLine(c.ids, rig.apps), c.line);
    }
    EXPECT_EQ(FocusTaskCardModel::addButtonText({}), "Choose apps");
    EXPECT_EQ(FocusTaskCardModel::addButtonText({"a.b"}), "Add");
}

TEST(FocusTaskCardModelTest, ProjectMenuOffersAutoDetectThenActiveProjects)
{
    CardRig rig;
    const Project a = rig.engine->projects().add({"", "Alpha", "violet", {}, {}, false});
    rig.engine->projects().add({"", "Old", "teal", {}, {}, true});
    const Project b = rig.engine->projects().add({"", "Beta", "blue", {}, {}, false});
    EXPECT_EQ(FocusTaskCardModel::projectChoices(rig.engine->projects()),
              (std::vector<ProjectChoice>{
                  {std::nullopt, "Auto-detect"}, {a.id, "Alpha"}, {b.id, "Beta"}}));
}

TEST(ActiveFocusTaskModelTest, TextsOfTheRunningTask)
{
    FocusTask task;
    task.name = "Write";
    task.estimatedSeconds = 3 * 3600;
    EXPECT_EQ(ActiveFocusTaskModel::clockText(task), "180:00");
    EXPECT_EQ(ActiveFocusTaskModel::planLine(task), "3h planned \u00B7 0s done");
    EXPECT_EQ(ActiveFocusTaskModel::progress(task), 0.0);

    task.estimatedSeconds = 5400;
    task.cumulativeOnTaskSeconds = 725.4;
    task.projectName = "Kestrove";
    EXPECT_EQ(ActiveFocusTaskModel::clockText(task), "77:55");
    EXPECT_EQ(ActiveFocusTaskModel::planLine(task),
              "1h 30m planned \u00B7 12m 05s done \u00B7 Kestrove");

    task.cumulativeOnTaskSeconds = 6000; // past the estimate
    EXPECT_EQ(ActiveFocusTaskModel::clockText(task), "0:00");
    EXPECT_EQ(ActiveFocusTaskModel::progress(task), 1.0);
    task.estimatedSeconds = 0;
    EXPECT_EQ(ActiveFocusTaskModel::progress(task), 0.0);
    EXPECT_EQ(ActiveFocusTaskModel::clockText(std::nullopt), "\u2014");

    EXPECT_EQ(ActiveFocusTaskModel::blockedAttemptsText(0), "0 blocked attempts");
    EXPECT_EQ(ActiveFocusTaskModel::blockedAttemptsText(1), "1 blocked attempt");
    EXPECT_EQ(ActiveFocusTaskModel::blockedAttemptsText(2), "2 blocked attempts");
    EXPECT_EQ(ActiveFocusTaskModel::statusText(true, true), "Locked in");
    EXPECT_EQ(ActiveFocusTaskModel::statusText(false, true),
              "Locked in \u00B7 timer paused while idle");
    EXPECT_EQ(ActiveFocusTaskModel::statusText(false, false),
              "Locked in \u00B7 timer runs in your allowed apps");
}

TEST(ActiveFocusTaskModelTest, AllowAnotherAppAppliesOnlyWhatTheUserChanged)
{
    CardRig rig;
    rig.presets.setAlwaysAllowed({"org.keepassxc.keepassxc"});
    FocusTaskForm form{"Write", 25, {"org.gnome.terminal", "org.gnome.nautilus"}, std::nullopt};
    ASSERT_TRUE(FocusTaskCardModel::start(form, *rig.engine));

    const AppSelection before = ActiveFocusTaskModel::allowedNow(*rig.engine);
    EXPECT_EQ(before, (AppSelection{"org.gnome.nautilus", "org.gnome.terminal",
                                    "org.keepassxc.keepassxc"}));
    AppSelection after = before;
    after.erase("org.gnome.nautilus");
    after.insert("com.microsoft.vscode");
    ActiveFocusTaskModel::applyAllowedApps(*rig.engine, before, after);

    // The always-allowed application stays out of the task's own list.
    EXPECT_EQ(rig.engine->focusTaskManager().active()->allowedBundleIDs,
              (std::vector<std::string>{"org.gnome.terminal", "com.microsoft.vscode"}));
    EXPECT_EQ(
        ActiveFocusTaskModel::allowedNow(*rig.engine),
        (AppSelection{"com.microsoft.vscode", "org.gnome.terminal", "org.keepassxc.keepassxc"}));
    EXPECT_EQ(rig.lockdown.added, (std::vector<std::string>{"com.microsoft.vscode"}));
    EXPECT_EQ(rig.lockdown.removed, (std::vector<std::string>{"org.gnome.nautilus"}));
    EXPECT_EQ(rig.presets.lastUsed(),
              (std::vector<std::string>{"com.microsoft.vscode", "org.gnome.terminal"}));

    // Done without a change changes nothing.
    ActiveFocusTaskModel::applyAllowedApps(*rig.engine, after, after);
    EXPECT_EQ(rig.lockdown.added.size(), 1u);
    EXPECT_EQ(rig.lockdown.removed.size(), 1u);
}

} // namespace
} // namespace kestrove
