#include "Intents/FocusIntents.h"

#include "Engine/SessionEngine.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace kestrove::FocusIntents {

int goalPercent(double progress)
{
    if (!(progress > 0)) {
        return 0;
    }
    return static_cast<int>(std::trunc(std::min(progress, 1.0) * 100.0));
}

std::string statusSentence(const FocusStatusFacts& facts)
{
    std::string text = DurationFormat::hm(facts.deepSecondsToday) + " of deep work today, " +
                       NumberFormat::integer(goalPercent(facts.goalProgress)) + "% of your goal.";
    if (!facts.running) {
        return text + " Kestrove is not running.";
    }
    if (facts.idle) {
        return text + " You are idle right now.";
    }
    if (facts.kind == ContextKind::deep) {
        return text + " In deep work on " + facts.projectName + " for " +
               DurationFormat::live(facts.sessionSeconds) + ".";
    }
    return text + " Currently " + Text::lowercased(displayName(facts.kind)) + " in " +
           facts.appName + ".";
}

FocusStatusFacts liveFacts(SessionEngine& engine)
{
    FocusStatusFacts facts;
    facts.deepSecondsToday = engine.liveDeepSecondsToday();
    facts.goalProgress = engine.goal().dailyProgress();
    facts.idle = engine.tracker().isIdle();
    facts.kind = engine.tracker().kind();
    facts.projectName = engine.projectDisplayName();
    facts.sessionSeconds = engine.liveSessionSeconds();
    facts.appName = engine.tracker().sample().appName;
    return facts;
}

bool isInDeepWork(SessionPhase phase)
{
    return phase == SessionPhase::deepWork || phase == SessionPhase::peakFocus;
}

} // namespace kestrove::FocusIntents
