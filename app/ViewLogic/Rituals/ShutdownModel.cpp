#include "ViewLogic/Rituals/ShutdownModel.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "Platform/Preferences.h"
#include "core/Calendar.h"
#include "core/Duration.h"

namespace kestrove {

ShutdownModel ShutdownModel::capture(SessionEngine& engine)
{
    const GoalTracker& goal = engine.goal();
    ShutdownModel model;
    model.deepTime = DurationFormat::hm(goal.deepWorkSecondsToday());
    model.goalLine = model.deepTime + " / " + goal.goalHoursLabel();
    model.remaining = goal.isGoalAchieved() ? "Achieved" : goal.remainingFormatted();
    for (const TimeShare& share : engine.today().byProject) {
        if (model.projects.size() == kMaxProjects) {
            break;
        }
        const bool unassigned = share.name == DaySummary::kUnassignedLabel;
        model.projects.push_back({share.name, unassigned ? std::nullopt : share.color,
                                  DurationFormat::hm(share.seconds)});
    }
    return model;
}

std::string ShutdownModel::initialPlanText(SessionEngine& engine)
{
    Preferences& preferences = engine.preferences();
    const auto writtenOn = preferences.string(SessionEngine::kTomorrowPlanWrittenOnKey);
    if (!writtenOn || *writtenOn != Calendar::dayString(engine.clock().now())) {
        return {};
    }
    return preferences.string(SessionEngine::kTomorrowPlanKey).value_or("");
}

} // namespace kestrove
