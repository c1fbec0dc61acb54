#include "Gallery/SettingsGallery.h"

#include "Platform/InstalledApps.h"
#include "Storage/Database.h"
#include "ViewLogic/Settings/ClassificationModel.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Settings/SettingsRows.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/FakeAccessibilitySwitch.h"
#include "support/FakeFolderRevealer.h"
#include "support/FakeLoginItem.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrove::gallery {

namespace {

constexpr int kCardWidth = 700;

ManualMainQueue& appsQueue()
{
    static ManualMainQueue queue;
    return queue;
}

InstalledApps& installedApps()
{
    static InstalledApps* apps = [] {
        auto* built = new InstalledApps(
            [] {
                return std::vector<InstalledApp>{
                    {"org.keepassxc.keepassxc", "KeePassXC", "keepassxc"},
                    {"org.gnome.evolution", "Evolution", "evolution"},
                    {"org.signal.signal", "Signal", "signal-desktop"},
                    {"org.gnome.terminal", "Terminal", "org.gnome.Terminal"},
                    {"com.microsoft.vscode", "Visual Studio Code", "vscode"},
                };
            },
            appsQueue());
        built->refresh();
        built->waitForScan();
        appsQueue().drain();
        return built;
    }();
    return *apps;
}

// Seconds in front of a browser showing `url`: every question for the address gets it.
void browse(EngineRig& rig, const std::string& url, int seconds)
{
    for (int i = 0; i < seconds; ++i) {
        while (!rig.scripting.requests.empty()) {
            rig.scripting.answer(url);
        }
        rig.run(1);
    }
}

// A morning of work: an editor, a terminal, a few sites, a chat client.
EngineRig& rig()
{
    static EngineRig* instance = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 7, 9, 0));
        built->start();
        built->show("com.microsoft.vscode", "SettingsPane.cpp — Kestrove");
        built->run(25 * 60);
        built->show("org.gnome.terminal", "ctest — build/test");
        built->run(9 * 60);
        built->show("com.slack.slack", "#design");
        built->run(6 * 60);
        built->show("org.mozilla.firefox", "Pull request");
        browse(*built, "https://github.com/kestrove/kestrove/pull/41", 4 * 60);
        browse(*built, "https://news.ycombinator.com/", 3 * 60);
        built->engine->projects().setOverride("org.gnome.terminal", ContextKind::deep);
        built->engine->projects().setOverride("github.com/kestrove", ContextKind::deep);
        built->engine->projects().setOverride("youtube.com/watch", ContextKind::distraction);
        built->engine->privacy().addPrivateDomain("mybank.com");
        built->engine->privacy().addPrivateDomain("health.example.org");
        built->presets.setAlwaysAllowed({"org.keepassxc.keepassxc", "org.gnome.terminal",
                                         "org.signal.signal", "com.example.dictation"});
        built->engine->privacy().removePrivateApp("com.1password.1password");
        MorningGateConfig config = built->engine->dayPlans().config();
        config.enabled = true;
        config.startHour = 7;
        config.startMinute = 30;
        config.activeWeekdays = {2, 3, 4, 5, 6};
        built->engine->dayPlans().setConfig(config);
        built->show("com.microsoft.vscode", "SettingsGallery.cpp — Kestrove");
        built->run(5);
        return built;
    }();
    return *instance;
}

FakeLoginItem& loginItem()
{
    static FakeLoginItem item;
    item.enabled = true;
    return item;
}

FakeFolderRevealer& revealer()
{
    static FakeFolderRevealer fake;
    return fake;
}

std::unique_ptr<QWidget> framed(QWidget* card, bool ownFrame = false)
{
    auto page = std::make_unique<QWidget>();
    page->setFixedWidth(kCardWidth);
    auto* layout = new QVBoxLayout(page.get());
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(ownFrame ? card : settingsCard(card));
    // The gallery sizes a window by its size hint, which lays chips out on one row; the
    // page's height follows its width, as in the dashboard's scroll area.
    page->ensurePolished();
    if (layout->hasHeightForWidth()) {
        page->setFixedHeight(layout->totalHeightForWidth(kCardWidth));
    }
    return page;
}

// A planned morning with a lockdown running: the plan can be copied, the wall not previewed.
std::unique_ptr<QWidget> plannedMorning()
{
    static EngineRig* planned = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 8, 8, 0));
        built->start();
        DayPlan plan = DayPlan::empty(Calendar::date(2026, 12, 8), built->clock.now());
        plan.blocks = {PlannedBlock("B1", "Parser: error recovery", 90, std::nullopt, 540,
                                    std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                    {"com.microsoft.vscode"}, BlockMode::locked)};
        built->engine->dayPlans().complete(plan);
        built->settle();
        built->engine->startPlannedBlock(plan.blocks[0]);
        built->run(5);
        return built;
    }();
    return framed(new MorningCardView(*planned->engine));
}

std::unique_ptr<QWidget> permissions(AccessibilityState state, bool turnedOn)
{
    static FakeAccessibilitySwitch accessibility;
    accessibility.state = state;
    auto* card = new PermissionsCardView(*rig().engine, accessibility);
    if (turnedOn) {
        card->grant();
    } else {
        card->readAccessibility();
    }
    accessibility.answer();
    return framed(card);
}

std::unique_ptr<QWidget> classification()
{
    auto* card = new ClassificationCardView(*rig().engine);
    const Date now = rig().clock.now();
    auto job = rig().engine->database().run([now](Database& database) {
        return database.seenContexts(Calendar::addingDays(now, -30), now,
                                     ClassificationCard::kLoadLimit);
    });
    card->setSeen(job.wait().value());
    card->ruleField()->setText(QStringLiteral("docs.python.org/3/library"));
    return framed(card);
}

std::unique_ptr<QWidget> lockdown()
{
    auto* card = new LockdownCardView(*rig().engine, installedApps());
    card->toggleButton()->click();
    return framed(card);
}

std::unique_ptr<QWidget> data()
{
    auto* card = new DataCardView(*rig().engine, revealer());
    card->loadSize();
    rig().settle();
    return framed(card);
}

std::unique_ptr<QWidget> privacy(bool paused)
{
    if (paused) {
        rig().engine->pauseTracking(30);
    } else if (rig().tracker.isPaused()) {
        rig().engine->resumeTracking();
    }
    auto* card = new PrivacySettingsCard(*rig().engine, installedApps(), {});
    card->domainField()->setText(QStringLiteral("intranet"));
    auto page = framed(card, true);
    if (paused) {
        rig().engine->resumeTracking();
    }
    return page;
}

// The whole page, cards in their order, at a dashboard's width and as tall as its content.
std::unique_ptr<QWidget> page()
{
    static FakeAccessibilitySwitch accessibility;
    auto pane = std::make_unique<SettingsPane>(
        *rig().engine,
        SettingsServices{installedApps(), loginItem(), accessibility, revealer(), {}});
    pane->classification()->setSeen({{"com.microsoft.vscode", "Visual Studio Code", false, 1500},
                                     {"org.gnome.terminal", "Terminal", false, 540},
                                     {"github.com", "github.com", true, 240}});
    constexpr int kWidth = 860;
    pane->setFixedWidth(kWidth);
    pane->ensurePolished();
    pane->setFixedHeight(pane->widget()->layout()->totalHeightForWidth(kWidth));
    return pane;
}

} // namespace

std::vector<GalleryView> settingsGalleryViews()
{
    return {
        {"settings-permissions", [] { return permissions(AccessibilityState::off, false); }},
        {"settings-permissions-granted", [] { return permissions(AccessibilityState::off, true); }},
        {"settings-permissions-no-answer",
         [] { return permissions(AccessibilityState::noAnswer, false); }},
        {"settings-privacy", [] { return privacy(false); }},
        {"settings-privacy-paused", [] { return privacy(true); }},
        {"settings-measurement", [] { return framed(new MeasurementCardView(*rig().engine)); }},
        {"settings-classification", classification},
        {"settings-morning", [] { return framed(new MorningCardView(*rig().engine)); }},
        {"settings-morning-planned", plannedMorning},
        {"settings-lockdown", lockdown},
        {"settings-general",
         [] { return framed(new GeneralCardView(*rig().engine, loginItem())); }},
        {"settings-data", data},
        {"settings-page", page},
    };
}

} // namespace kestrove::gallery
