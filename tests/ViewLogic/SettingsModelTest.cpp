#include "ViewLogic/Settings/SettingsModel.h"
#include "Engine/FocusBridge.h"
#include "Engine/LockInDisplay.h"
#include "Platform/InstalledApps.h"
#include "ViewLogic/Settings/ClassificationModel.h"
#include "ViewLogic/Settings/PrivacyModel.h"
#include "core/Calendar.h"
#include "core/PrivacyPolicy.h"
#include "support/EngineRig.h"
#include "support/FakeLoginItem.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

const Date kNow = Calendar::date(2026, 12, 7, 9, 0);

template <typename T> std::vector<std::string> labels(const std::vector<SettingOption<T>>& options)
{
    std::vector<std::string> texts;
    for (const auto& option : options) {
        texts.push_back(option.label);
    }
    return texts;
}

TEST(SettingsModelTest, OptionListsInMenuOrderWithTheirTexts)
{
    EXPECT_EQ(labels(MeasurementCard::goalOptions()),
              (std::vector<std::string>{"1h", "1.5h", "2h", "2.5h", "3h", "3.5h", "4h", "5h", "6h",
                                        "8h"}));
    EXPECT_EQ(labels(MeasurementCard::idleOptions()),
              (std::vector<std::string>{"2 min", "3 min", "5 min", "8 min", "10 min", "15 min"}));
    EXPECT_EQ(labels(MeasurementCard::graceOptions()),
              (std::vector<std::string>{"1 min", "2 min", "3 min", "5 min", "10 min"}));

    const auto starts = MorningCard::startOptions();
    ASSERT_EQ(starts.size(), 17u);
    EXPECT_EQ(starts.front().label, "04:00");
    EXPECT_EQ(starts[5].label, "06:30");
    EXPECT_EQ(starts[5].value, 390);
    EXPECT_EQ(starts.back().label, "12:00");
    const auto summaries = GeneralCard::summaryOptions();
    ASSERT_EQ(summaries.size(), 17u);
    EXPECT_EQ(summaries.front().label, "15:00");
    EXPECT_EQ(summaries[7].label, "18:30");
    EXPECT_EQ(summaries[7].value, 1110);
    EXPECT_EQ(summaries.back().label, "23:00");
}

TEST(SettingsModelTest, StoredValuesFallBackAndUnknownValuesSelectNothing)
{
    struct Case
    {
        std::optional<std::int64_t> stored;
        int idle;
        int grace;
    };
    const Case cases[] = {{std::nullopt, 5, 3}, {0, 5, 3}, {-4, 5, 3}, {10, 10, 10}, {7, 7, 7}};
    for (const Case& c : cases) {
        Preferences preferences;
        if (c.stored) {
            preferences.setInteger("idleThresholdMinutes", *c.stored);
            preferences.setInteger("blockGraceMinutes", *c.stored);
        }
        EXPECT_EQ(MeasurementCard::storedMinutes(preferences, "idleThresholdMinutes", 5), c.idle);
        EXPECT_EQ(MeasurementCard::storedMinutes(preferences, "blockGraceMinutes", 3), c.grace);
    }
    EXPECT_EQ(selectedOption(MeasurementCard::idleOptions(), 7), std::nullopt)
        << "7 minutes set elsewhere is none of the options";
    EXPECT_EQ(selectedOption(MeasurementCard::goalOptions(), 4.5), std::nullopt);
    EXPECT_EQ(selectedOption(MeasurementCard::goalOptions(), 1.5), 1u);
    EXPECT_EQ(selectedOption(MorningCard::startOptions(), 6 * 60 + 15), std::nullopt);
    EXPECT_EQ(selectedOption(MorningCard::startOptions(), 3 * 60), std::nullopt);

    Preferences preferences;
    EXPECT_EQ(GeneralCard::summaryMinute(preferences), 1110);
    preferences.setInteger("summaryMinuteOfDay", 0);
    EXPECT_EQ(GeneralCard::summaryMinute(preferences), 1110);
    preferences.setInteger("summaryMinuteOfDay", 1260);
    EXPECT_EQ(GeneralCard::summaryMinute(preferences), 1260);
    EXPECT_FALSE(GeneralCard::phoneFocusEnabled(preferences));
    EXPECT_NE(GeneralCard::phoneFocusDetail(preferences).find("\"Kestrove Start\""),
              std::string::npos);
    preferences.setString(CommandFocusBridge::kStartShortcutKey, "phone-focus-on");
    EXPECT_NE(GeneralCard::phoneFocusDetail(preferences).find("\"phone-focus-on\""),
              std::string::npos);
}

TEST(SettingsModelTest, WeekdayChipsKeepOneDayAtLeast)
{
    const auto chips = MorningCard::weekdayChips({1, 4});
    std::string shown;
    for (const auto& chip : chips) {
        shown += chip.label + (chip.active ? "*" : "");
    }
    EXPECT_EQ(shown, "S*MTW*TFS") << "Sunday first, whatever the calendar's first day";

    EXPECT_EQ(MorningCard::pressWeekday({1, 4}, 4), (std::set<int>{1}));
    EXPECT_EQ(MorningCard::pressWeekday({1}, 7), (std::set<int>{1, 7}));
    EXPECT_EQ(MorningCard::pressWeekday({3}, 3), std::nullopt)
        << "the last active day cannot be switched off";
}

TEST(SettingsModelTest, SizeTextsAtTheBoundaries)
{
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 KB"},         {1023, "0 KB"},      {1024, "1 KB"},       {1048575, "1023 KB"},
        {1048576, "1.0 MB"}, {3670016, "3.5 MB"}, {10590619, "10.1 MB"}};
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(DataCard::sizeText(bytes), text) << bytes;
    }
    EXPECT_EQ(DataCard::folderOf("/tmp/elsewhere/Kestrove/kestrove.db"), "/tmp/elsewhere/Kestrove");
}

TEST(SettingsModelTest, PermissionRowsSayWhatCanBeDone)
{
    using Trailing = PermissionRow::Trailing;
    EXPECT_EQ(PermissionsCard::windowTitles(true).trailing(), Trailing::on);
    EXPECT_EQ(PermissionsCard::windowTitles(false).granted, false);
    EXPECT_EQ(PermissionsCard::windowTitles(false).trailing(), Trailing::nothing)
        << "there is nothing to ask the X display for";

    struct Case
    {
        PermissionsCard::BrowserAccess access;
        std::optional<bool> granted;
        Trailing trailing;
        bool mentionsRestart;
    };
    const Case cases[] = {
        {{AccessibilityState::off, false, false}, false, Trailing::grant, false},
        {{AccessibilityState::on, false, false}, true, Trailing::on, false},
        {{AccessibilityState::on, true, false}, true, Trailing::on, true},
        {{AccessibilityState::notRunning, false, false}, false, Trailing::grant, false},
        {{AccessibilityState::noAnswer, false, false}, std::nullopt, Trailing::nothing, false},
        {{AccessibilityState::noSessionBus, false, false}, std::nullopt, Trailing::nothing, false},
        {{std::nullopt, false, false}, std::nullopt, Trailing::nothing, false},
    };
    for (const Case& c : cases) {
        const PermissionRow row = PermissionsCard::browserSites(c.access);
        EXPECT_EQ(row.granted, c.granted);
        EXPECT_EQ(row.trailing(), c.trailing);
        EXPECT_EQ(row.detail.find("Restart") != std::string::npos, c.mentionsRestart);
    }
    EXPECT_EQ(PermissionsCard::hidingApps().trailing(), Trailing::nothing);
}

TEST(SettingsModelTest, LaunchAtLoginIsCorrectedWhenTheDesktopRefuses)
{
    FakeLoginItem item;
    item.enabled = true;
    LaunchAtLoginSwitch toggle(item);
    EXPECT_TRUE(toggle.isOn());
    EXPECT_FALSE(toggle.change(false));
    EXPECT_FALSE(item.enabled);

    item.refuses = true;
    EXPECT_FALSE(toggle.change(true)) << "a refused change shows what the list really holds";
    item.enabled = true;
    EXPECT_TRUE(toggle.change(false)) << "still listed, so the switch returns to on";
}

TEST(SettingsModelTest, PreviewIsRefusedOverARunningLockdown)
{
    EXPECT_TRUE(MorningCard::mayPreviewWall(false, false));
    EXPECT_FALSE(MorningCard::mayPreviewWall(true, false));
    EXPECT_FALSE(MorningCard::mayPreviewWall(false, true));
}

TEST(SettingsModelTest, LockInDisplaySwitchShowsOrHidesAtOnce)
{
    EngineRig rig(kNow);
    rig.start();
    GeneralCard::setLockInDisplayEnabled(*rig.engine, true);
    EXPECT_EQ(rig.prefs.boolValue(LockInDisplay::kEnabledKey), true);
    EXPECT_FALSE(rig.display.isPanelVisible()) << "no task runs: the setting is only stored";

    FocusTask task;
    task.id = "5C1E9A52-0D7B-4E1A-9F3C-2B8D6E4A1C70";
    task.name = "Write";
    task.estimatedSeconds = 1800;
    task.startedAt = rig.clock.now();
    rig.engine->startFocusTask(task);
    rig.settle();
    GeneralCard::setLockInDisplayEnabled(*rig.engine, false);
    EXPECT_FALSE(rig.display.isPanelVisible());
    GeneralCard::setLockInDisplayEnabled(*rig.engine, true);
    EXPECT_TRUE(rig.display.isPanelVisible());
}

// Classification.

SeenContext app(std::string key, std::string name, double seconds)
{
    return {std::move(key), std::move(name), false, seconds};
}

SeenContext site(std::string domain, double seconds)
{
    return {domain, domain, true, seconds};
}

TEST(ClassificationModelTest, FilterMatchesNamesIgnoringCaseAndKeysLowerCased)
{
    const std::vector<SeenContext> seen = {app("com.microsoft.vscode", "Code", 3000),
                                           site("github.com", 2000),
                                           app("org.gnome.terminal", "Terminal", 1000)};
    const auto names = [](const std::vector<SeenContext>& shown) {
        std::string text;
        for (const auto& entry : shown) {
            text += entry.displayName + ";";
        }
        return text;
    };
    EXPECT_EQ(names(ClassificationCard::filtered(seen, "")), "Code;github.com;Terminal;");
    EXPECT_EQ(names(ClassificationCard::filtered(seen, "TERM")), "Terminal;");
    EXPECT_EQ(names(ClassificationCard::filtered(seen, "MICROSOFT")), "Code;")
        << "the key is tested with the filter lower-cased";
    EXPECT_EQ(names(ClassificationCard::filtered(seen, "zzz")), "");

    std::vector<SeenContext> many;
    for (int i = 0; i < 60; ++i) {
        many.push_back(site("site" + std::to_string(i) + ".com", 6000 - i));
    }
    const auto shown = ClassificationCard::filtered(many, "");
    ASSERT_EQ(shown.size(), 40u);
    EXPECT_EQ(shown.back().key, "site39.com") << "the forty with the most time";
}

TEST(ClassificationModelTest, RowsMarkOverridesAndTheDefaultKindRemovesThem)
{
    const SeenContext editor = app("com.microsoft.vscode", "Code", 3720);
    const SeenContext news = site("news.ycombinator.com", 600);
    ClassificationCard::Overrides overrides;
    auto row = ClassificationCard::row(editor, overrides);
    EXPECT_EQ(row.kind, ContextKind::deep);
    EXPECT_FALSE(row.custom);
    EXPECT_EQ(row.detail, "1h 2m");

    overrides["com.microsoft.vscode"] = ContextKind::distraction;
    row = ClassificationCard::row(editor, overrides);
    EXPECT_EQ(row.kind, ContextKind::distraction);
    EXPECT_EQ(row.detail, "1h 2m · custom");

    EXPECT_EQ(ClassificationCard::overrideFor(editor, ContextKind::deep), std::nullopt);
    EXPECT_EQ(ClassificationCard::overrideFor(editor, ContextKind::shallow), ContextKind::shallow);
    EXPECT_EQ(ClassificationCard::defaultKind(news), ContextKind::distraction);
    EXPECT_EQ(ClassificationCard::defaultKind(site("unknown-site.example", 1)),
              ContextKind::shallow);
    EXPECT_EQ(ClassificationCard::defaultKind(app("unknown.app", "X", 1)), ContextKind::neutral);
}

TEST(ClassificationModelTest, SiteRulesAreNormalised)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"  HTTPS://www.GitHub.com/MyTeam///\n", "github.com/myteam"},
        {"github.com/www.x", "github.com/www.x"},
        {"docs.www.example.org/a", "docs.www.example.org/a"},
        {"www.www.example.org", "www.example.org"},
        {"example.org", "example.org"},
        {"localhost/admin", std::nullopt},
        {"intranet", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const auto& [input, key] : cases) {
        EXPECT_EQ(ClassificationCard::siteRuleKey(input), key) << input;
    }
    EXPECT_FALSE(ClassificationCard::mayAddSiteRule(" \t "));
    EXPECT_TRUE(ClassificationCard::mayAddSiteRule("\n")) << "line breaks are not trimmed here";
    EXPECT_TRUE(ClassificationCard::mayAddSiteRule("intranet"));

    const ClassificationCard::Overrides overrides = {
        {"youtube.com/watch", ContextKind::distraction},
        {"github.com", ContextKind::deep},
        {"github.com/myteam", ContextKind::deep}};
    EXPECT_EQ(ClassificationCard::siteRules(overrides),
              (std::vector<std::string>{"github.com/myteam", "youtube.com/watch"}));
}

// Privacy.

TEST(PrivacyModelTest, LiveLineShowsWhatThePolicyLetThrough)
{
    Segment segment;
    segment.appName = "Firefox";
    segment.bundleID = "org.mozilla.firefox";
    segment.kind = ContextKind::shallow;
    EXPECT_EQ(PrivacyCard::recordingLine(false, segment),
              "Firefox · site not stored · title not stored · shallow");
    segment.domain = "github.com";
    segment.windowTitle = "Pull request";
    EXPECT_EQ(PrivacyCard::recordingLine(false, segment),
              "Firefox · github.com · Pull request · shallow");

    Segment editor;
    editor.appName = "Code";
    editor.bundleID = "com.microsoft.vscode";
    editor.kind = ContextKind::deep;
    EXPECT_EQ(PrivacyCard::recordingLine(false, editor),
              "Code · no site · title not stored · deep work");
    EXPECT_EQ(PrivacyCard::recordingLine(false, std::nullopt), "—");
    EXPECT_EQ(PrivacyCard::recordingLine(true, editor), "nothing is written until you resume");
    EXPECT_EQ(PrivacyCard::recordingTitle(true), "Paused");
    EXPECT_EQ(PrivacyCard::recordingTitle(false), "Recording now");
}

TEST(PrivacyModelTest, RetentionTagsAndDefaults)
{
    EXPECT_EQ(PrivacyCard::retentionTag(std::nullopt), 0);
    EXPECT_EQ(PrivacyCard::retentionTag(0), 0);
    EXPECT_EQ(PrivacyCard::retentionTag(30), 30);
    EXPECT_EQ(PrivacyCard::retentionOptions().back().label, "Forever");
    EXPECT_FALSE(PrivacyCard::differsFromDefaults(PrivacyPolicy::defaultPrivateBundleIDs()));
    EXPECT_TRUE(PrivacyCard::differsFromDefaults({}));
}

TEST(PrivacyModelTest, NamesAreLookedUpOnceAndOrderedIgnoringCase)
{
    ManualMainQueue queue;
    InstalledApps apps(
        [] {
            return std::vector<InstalledApp>{{"org.keepassxc.keepassxc", "KeePassXC", ""},
                                             {"org.signal.signal", "signal", ""}};
        },
        queue);
    apps.refresh();
    apps.waitForScan();
    queue.drain();

    PrivateAppNames names(apps);
    EXPECT_EQ(names("org.keepassxc.keepassxc"), "KeePassXC");
    EXPECT_EQ(names("org.keepassxc.keepassxc"), "KeePassXC");
    EXPECT_EQ(names.lookUps(), 1u) << "a found name is kept";
    EXPECT_EQ(names("com.example.gone"), "com.example.gone") << "not installed: shown as itself";

    const auto ordered = PrivacyCard::orderedApps(
        {"org.keepassxc.keepassxc", "org.signal.signal", "com.example.gone"},
        [&](const std::string& id) { return names(id); });
    EXPECT_EQ(ordered, (std::vector<std::string>{"com.example.gone", "org.keepassxc.keepassxc",
                                                 "org.signal.signal"}));
}

TEST(PrivacyModelTest, RejectedSiteKeepsItsTextAndReturnDoesNothing)
{
    EngineRig rig(kNow);
    rig.start();
    PrivacyStore& store = rig.engine->privacy();
    const auto before = store.privateDomains();

    PrivateSiteField field;
    field.setText("intranet");
    EXPECT_FALSE(field.mayAdd());
    EXPECT_FALSE(field.submit(store));
    EXPECT_EQ(field.text(), "intranet");
    EXPECT_EQ(store.privateDomains(), before);

    field.setText(" HTTPS://www.MyBank.com/login ");
    EXPECT_TRUE(field.mayAdd());
    EXPECT_TRUE(field.submit(store));
    EXPECT_EQ(field.text(), "");
    EXPECT_TRUE(store.privateDomains().contains("mybank.com"));

    field.setText("mybank.com");
    EXPECT_TRUE(field.submit(store)) << "a domain already there empties the field";
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(store.privateDomains().size(), before.size() + 1);
}

} // namespace
} // namespace kestrove
