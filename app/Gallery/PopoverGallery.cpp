#include "Gallery/PopoverGallery.h"

#include "Views/FlowHUDView.h"
#include "Views/MenuBarView.h"
#include "Views/OnboardingView.h"
#include "Views/Shell/PopoverWindow.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QVBoxLayout>

namespace kestrove::gallery {

namespace {

using WidgetPtr = std::unique_ptr<QWidget>;

// A morning of work: 50 minutes on the thesis in the editor, 20 in the browser on a site of
// no project, 35 on the garden planner, then back on the thesis for 23 minutes.
EngineRig* workingRig()
{
    auto* rig = new EngineRig(Calendar::date(2026, 12, 7, 8, 30));
    Project thesis;
    thesis.id = "A1B2C3D4-0000-4000-8000-000000000001";
    thesis.name = "Thesis";
    thesis.color = "teal";
    thesis.rules = {ProjectRule::titleContains("thesis")};
    Project garden;
    garden.id = "A1B2C3D4-0000-4000-8000-000000000002";
    garden.name = "Garden planner";
    garden.color = "amber";
    garden.rules = {ProjectRule::titleContains("garden")};
    Project site;
    site.id = "A1B2C3D4-0000-4000-8000-000000000003";
    site.name = "Kestrove site";
    site.color = "violet";
    site.rules = {ProjectRule::titleContains("site")};
    rig->engine->projects().add(thesis);
    rig->engine->projects().add(garden);
    rig->engine->projects().add(site);
    rig->start();
    rig->show("com.microsoft.vscode", "chapter3.tex — thesis");
    rig->run(50 * 60);
    rig->show("com.microsoft.vscode", "scratch.py");
    rig->run(20 * 60);
    rig->show("com.microsoft.vscode", "beds.rs — garden");
    rig->run(35 * 60);
    rig->show("com.microsoft.vscode", "results.tex — thesis");
    rig->run(23 * 60 + 5);
    rig->engine->refreshToday();
    rig->settle();
    return rig;
}

EngineRig& deepRig()
{
    static EngineRig* rig = workingRig();
    return *rig;
}

EngineRig& idleRig()
{
    static EngineRig* rig = [] {
        EngineRig* built = workingRig();
        // Away from the keyboard past the idle threshold.
        built->input.seconds = 420;
        built->run(5);
        return built;
    }();
    return *rig;
}

EngineRig& pausedRig()
{
    static EngineRig* rig = [] {
        EngineRig* built = workingRig();
        built->engine->pinProject("A1B2C3D4-0000-4000-8000-000000000001");
        built->engine->pauseTracking(15);
        built->run(150);
        return built;
    }();
    return *rig;
}

EngineRig& taskRig()
{
    static EngineRig* rig = [] {
        EngineRig* built = workingRig();
        FocusTask task;
        task.id = "5C7E3A2B-4F1D-4B8E-9A6C-2D3E4F5A6B7C";
        task.name = "Write the results chapter";
        task.estimatedSeconds = 45 * 60;
        task.allowedBundleIDs = {"com.microsoft.vscode"};
        task.isLockdown = true;
        task.startedAt = built->clock.now();
        built->engine->startFocusTask(task);
        built->run(12 * 60 + 40);
        return built;
    }();
    return *rig;
}

WidgetPtr popover(EngineRig& rig, bool confirming = false)
{
    auto view = std::make_unique<PopoverWindow>();
    view->setWindowFlags(Qt::Widget);
    auto* content = new MenuBarView(*rig.engine, {});
    if (confirming) {
        content->askToFinish();
    }
    view->setContent(content);
    return view;
}

WidgetPtr hud(EngineRig& rig)
{
    auto view = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(view.get());
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(new FlowHUDView(*rig.engine));
    return view;
}

WidgetPtr onboarding(int step)
{
    static EngineRig* rig = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 7, 8, 30));
        built->start();
        built->engine->permissions().refreshAccessibility();
        return built;
    }();
    auto view = std::make_unique<OnboardingView>(*rig->engine, nullptr);
    for (int i = 0; i < step; ++i) {
        view->goOn();
    }
    return view;
}

} // namespace

std::vector<GalleryView> popoverGalleryViews()
{
    return {
        {"popover-idle", [] { return popover(idleRig()); }},
        {"popover-deep-project", [] { return popover(deepRig()); }},
        {"popover-paused", [] { return popover(pausedRig()); }},
        {"popover-task", [] { return popover(taskRig()); }},
        {"popover-task-confirming", [] { return popover(taskRig(), true); }},
        {"hud-on-task", [] { return hud(taskRig()); }},
        {"hud-paused", [] { return hud(idleRig()); }},
        {"onboarding-permissions", [] { return onboarding(0); }},
        {"onboarding-goal", [] { return onboarding(1); }},
        {"onboarding-done", [] { return onboarding(2); }},
    };
}

} // namespace kestrove::gallery
