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
    return make(goal.deepWorkSecondsToday(), goal.goalHoursLabel(), goal.isGoalAchieved(),
                goal.remainingFormatted(), engine.today().byProject);
}

ShutdownModel ShutdownModel::make(double deepSeconds, const std::string& goalLabel, bool achieved,
                                  const std::string& remainingText,
                                  const std::vector<TimeShare>& byProject)
{
    ShutdownModel model;
    model.deepTime = DurationFormat::hm(deepSeconds);
    model.goalLine = model.deepTime + " / " + goalLabel;
    model.remaining = achieved ? "Achieved" : remainingText;
    for (const TimeShare& share : byProject) {
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
