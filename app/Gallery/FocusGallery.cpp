#include "Gallery/FocusGallery.h"

#include "Gallery/GallerySupport.h"
#include "Platform/InstalledApps.h"
#include "Views/Focus/ActiveFocusTaskView.h"
#include "Views/Focus/AllowlistSettings.h"
#include "Views/Focus/AppPickerView.h"
#include "Views/Focus/FocusTaskCard.h"
#include "Views/Focus/LockInView.h"
#include "core/Calendar.h"
#include "core/Uuid.h"
#include "support/EngineRig.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrove::gallery {

namespace {

ManualMainQueue& appsQueue()
{
    static ManualMainQueue queue;
    return queue;
}

// What a typical desktop has installed.
InstalledApps& installedApps()
{
    static InstalledApps* apps = scannedApps(
        appsQueue(), {
                         {"org.mozilla.firefox", "Firefox ESR", "firefox-esr"},
                         {"org.gnome.nautilus", "Files", "org.gnome.Nautilus"},
                         {"org.gimp.gimp", "GNU Image Manipulation Program", "gimp"},
                         {"org.keepassxc.keepassxc", "KeePassXC", "keepassxc"},
                         {"org.libreoffice.writer", "LibreOffice Writer", "libreoffice-writer"},
                         {"md.obsidian.obsidian", "Obsidian", "obsidian"},
                         {"com.slack.slack", "Slack", "slack"},
                         {"org.gnome.terminal", "Terminal", "org.gnome.Terminal"},
                         {"org.gnome.texteditor", "Text Editor", "org.gnome.TextEditor"},
                         {"com.microsoft.vscode", "Visual Studio Code", "vscode"},
                         {"org.zotero.zotero", "Zotero", "zotero"},
                     });
    return *apps;
}

void addProjects(EngineRig& rig)
{
    rig.engine->projects().add({"", "Kestrove", "violet", "Work", {}, false});
    rig.engine->projects().add({"", "Thesis", "teal", "Study", {}, false});
}

EngineRig& formRig()
{
    static EngineRig* instance = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 7, 9, 0));
        built->start();
        addProjects(*built);
        built->presets.setAlwaysAllowed({"org.keepassxc.keepassxc", "org.gnome.nautilus",
                                         "org.gnome.terminal", "com.example.dictation",
                                         "org.gnome.texteditor"});
        return built;
    }();
    return *instance;
}

EngineRig& emptyRig()
{
    static EngineRig* instance = startedRig(Calendar::date(2026, 12, 7, 9, 0));
    return *instance;
}

// Forty minutes into a task of ninety with two blocked attempts.
EngineRig& runningRig()
{
    static EngineRig* instance = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 7, 9, 0));
        built->start();
        FocusTask task;
        task.id = "0B6F1C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D";
        task.name = "Write the focus-task card and its running view";
        task.estimatedSeconds = 90 * 60;
        task.allowedBundleIDs = {"com.microsoft.vscode", "org.gnome.terminal"};
        task.startedAt = built->clock.now();
        task.isLockdown = true;
        task.projectName = "Kestrove";
        built->engine->startFocusTask(task);
        built->show("com.microsoft.vscode", "FocusTaskCard.cpp — Kestrove");
        built->run(40 * 60 + 17);
        built->engine->recordLockdownBlock("com.slack.slack", task.id);
        built->engine->recordLockdownBlock("org.mozilla.firefox", task.id);
        built->settle();
        return built;
    }();
    return *instance;
}

// A week of focus tasks behind, three of them today.
EngineRig& historyRig()
{
    static EngineRig* instance = [] {
        const Date today = Calendar::date(2026, 12, 7, 16, 30);
        auto* built = new EngineRig(today);
        built->start();
        struct Past
        {
            Date start;
            const char* name;
            double estimate;
            double onTask;
            std::optional<FocusTask::EndReason> reason;
            bool lockdown;
        };
        const Past past[] = {
            {Calendar::date(2026, 12, 7, 14, 0), "Review the picker's search", 45 * 60, 44 * 60,
             FocusTask::EndReason::completed, true},
            {Calendar::date(2026, 12, 7, 11, 10), "Draft the release notes for the lock-in page",
             60 * 60, 23 * 60, FocusTask::EndReason::brokeOut, true},
            {Calendar::date(2026, 12, 7, 9, 5), "Fix the desktop-entry scan", 90 * 60, 65 * 60,
             FocusTask::EndReason::completed, true},
            {Calendar::date(2026, 12, 5, 10, 0), "Read chapter four", 30 * 60, 31 * 60,
             FocusTask::EndReason::completed, false},
            {Calendar::date(2026, 12, 4, 15, 20), "Plan the week", 25 * 60, 12 * 60,
             FocusTask::EndReason::crashed, true},
            {Calendar::date(2026, 12, 3, 8, 45),
             "Outline the thesis chapter on attention "
             "residue and context switching in knowledge work",
             120 * 60, 118 * 60, std::nullopt, false},
        };
        for (const Past& p : past) {
            FocusTask task;
            task.id = Uuid::generate();
            task.name = p.name;
            task.estimatedSeconds = p.estimate;
            task.cumulativeOnTaskSeconds = p.onTask;
            task.startedAt = p.start;
            task.endedAt = p.start + p.onTask + 300;
            task.endedReason = p.reason;
            task.isLockdown = p.lockdown;
            const bool completed = p.reason == FocusTask::EndReason::completed;
            built->engine->database().run([task, completed](Database& db) {
                db.insertFocusTask(task, completed);
                for (int i = 0; i < 3; ++i) {
                    db.recordLockdownBlock(task.id, task.startedAt + 600 + i, "com.slack.slack");
                }
            });
        }
        built->settle();
        return built;
    }();
    return *instance;
}

std::unique_ptr<QWidget> onPage(QWidget* content, int width)
{
    auto page = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(page.get());
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(content);
    page->setFixedWidth(width);
    return page;
}

std::unique_ptr<QWidget> picker()
{
    auto view = std::make_unique<AppPickerView>(
        installedApps(), AppSelection{"com.microsoft.vscode", "org.gnome.terminal"});
    return view;
}

std::unique_ptr<QWidget> pickerSearching()
{
    auto view =
        std::make_unique<AppPickerView>(installedApps(), AppSelection{"org.gnome.texteditor"});
    view->searchField()->setText("te");
    return view;
}

std::unique_ptr<QWidget> cardEmpty()
{
    return onPage(new FocusTaskCard(*emptyRig().engine, installedApps()), 720);
}

std::unique_ptr<QWidget> cardFilled()
{
    EngineRig& rig = formRig();
    rig.prefs.setStringArray("lastFocusTaskAllowedBundleIDs",
                             {"com.microsoft.vscode", "org.gnome.terminal", "md.obsidian.obsidian",
                              "com.example.notinstalled"});
    rig.prefs.setInteger("lastLockInMinutes", 90);
    auto* card = new FocusTaskCard(*rig.engine, installedApps());
    card->nameField()->setText("Ship the onboarding flow");
    card->projectMenu()->setCurrentIndex(1);
    return onPage(card, 720);
}

std::unique_ptr<QWidget> cardRunning()
{
    return onPage(new FocusTaskCard(*runningRig().engine, installedApps()), 720);
}

std::unique_ptr<QWidget> allowlist(bool filled)
{
    EngineRig& rig = filled ? formRig() : emptyRig();
    return onPage(new AllowlistSettings(rig.presets, installedApps()), 520);
}

std::unique_ptr<QWidget> lockInPage(EngineRig& rig)
{
    auto view = std::make_unique<LockInView>(*rig.engine, installedApps());
    rig.settle();
    view->setFixedSize(860, 1000);
    // The page lays out what the read brought on the event loop's next turn, as on screen.
    view->show();
    QCoreApplication::processEvents();
    return view;
}

} // namespace

std::vector<GalleryView> focusGalleryViews()
{
    return {
        {"app-picker", picker},
        {"app-picker-search", pickerSearching},
        {"allowlist-settings-empty", [] { return allowlist(false); }},
        {"allowlist-settings", [] { return allowlist(true); }},
        {"focus-task-card-empty", cardEmpty},
        {"focus-task-card-filled", cardFilled},
        {"focus-task-card-running", cardRunning},
        {"lock-in-page-history", [] { return lockInPage(historyRig()); }},
        {"lock-in-page-empty", [] { return lockInPage(emptyRig()); }},
    };
}

} // namespace kestrove::gallery
