#include "Gallery/RitualsGallery.h"

#include "Views/Rituals/MorningGateView.h"
#include "Views/Rituals/PlanViews.h"
#include "Views/Rituals/ShutdownView.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QVBoxLayout>

namespace kestrove::gallery {

namespace {

PlannedBlock block(std::string id, std::string task, int minutes, std::optional<int> start,
                   std::vector<std::string> apps, BlockMode mode = BlockMode::locked)
{
    return PlannedBlock(std::move(id), std::move(task), minutes, std::nullopt, start, std::nullopt,
                        std::nullopt, std::nullopt, std::nullopt, std::move(apps), mode);
}

// A morning with a plan: one block done, one running, three waiting, and an evening note
// from the day before.
EngineRig& rig()
{
    static EngineRig* instance = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 8, 8, 0));
        built->prefs.setString(SessionEngine::kTomorrowPlanKey,
                               "Finish the parser before lunch, then the release notes.");
        built->prefs.setString(SessionEngine::kTomorrowPlanWrittenOnKey, "2026-12-07");
        built->start();
        DayPlan plan = DayPlan::empty(Calendar::date(2026, 12, 8), built->clock.now());
        plan.blocks = {
            block("B1", "Parser: error recovery", 90, 540, {"com.microsoft.vscode"}),
            block("B2", "Release notes", 45, 690, {"com.microsoft.vscode", "org.mozilla.firefox"}),
            block("B3", "Walk and think about the schema", 60, 840, {}, BlockMode::away),
            block("B4", "Interview write-up", 60, 960, {}),
            block("B5", "Inbox zero", 30, std::nullopt, {"org.mozilla.firefox"}),
        };
        built->engine->dayPlans().complete(plan);
        built->settle();
        built->show("com.microsoft.vscode", "parser.cpp");
        built->engine->startPlannedBlock(plan.blocks[0]);
        built->run(95 * 60);
        built->engine->endFocusTask(FocusTask::EndReason::completed);
        built->settle();
        built->engine->startPlannedBlock(plan.blocks[1]);
        built->run(20 * 60);
        return built;
    }();
    return *instance;
}

MorningGateView::Context context()
{
    MorningGateView::Context result;
    result.shutdownNote = [] { return rig().engine->planForToday(); };
    result.lastUsedApps = {"com.microsoft.vscode"};
    return result;
}

std::unique_ptr<QWidget> form(bool isWall, bool withPlan, QSize size)
{
    GateForm gate;
    gate.isWall = isWall;
    gate.initialPlan = DayPlan::empty(Calendar::date(2026, 12, 8), Calendar::date(2026, 12, 8, 8));
    if (withPlan) {
        gate.initialPlan.blocks = {
            block("W1", "Parser: error recovery", 90, 540, {"com.microsoft.vscode"}),
            block("W2", "Interview write-up", 60, 960, {}),
            block("W3", "Walk and think about the schema", 45, std::nullopt, {}, BlockMode::away),
        };
    }
    gate.onSubmit = [](const DayPlan&) {};
    if (!isWall) {
        gate.onClose = [] {};
    }
    auto view = std::make_unique<MorningGateView>(gate, context());
    view->setFixedSize(size);
    return view;
}

std::unique_ptr<QWidget> framed(QWidget* content, int width)
{
    auto view = std::make_unique<QWidget>();
    view->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(view.get());
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(content);
    view->setFixedWidth(width);
    return view;
}

std::unique_ptr<QWidget> emptyCard()
{
    static EngineRig* empty = [] {
        auto* built = new EngineRig(Calendar::date(2026, 12, 8, 8, 0));
        built->start();
        return built;
    }();
    return framed(new PlanCard(*empty->engine, {}), 620);
}

} // namespace

std::vector<GalleryView> ritualsGalleryViews()
{
    return {
        {"morning-wall",
         [] {
             return form(true, false, {1280, 800});
         }},
        {"morning-wall-planned",
         [] {
             return form(true, true, {1280, 800});
         }},
        {"plan-editor",
         [] {
             return form(false, true, {860, 760});
         }},
        {"plan-card", [] { return framed(new PlanCard(*rig().engine, {}), 620); }},
        {"plan-card-empty", emptyCard},
        {"plan-strip", [] { return framed(new PlanStrip(*rig().engine, {}), 340); }},
        {"shutdown", [] { return std::make_unique<ShutdownView>(*rig().engine, [] {}); }},
    };
}

} // namespace kestrove::gallery
