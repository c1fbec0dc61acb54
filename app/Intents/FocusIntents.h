#pragma once

#include "core/ContextKind.h"
#include "core/FocusBlockBuilder.h"

#include <string>

namespace kestrove {

class SessionEngine;

// What the focus status says, taken from the live engine or, when Kestrove does not run, from
// the stored history.
struct FocusStatusFacts
{
    double deepSecondsToday = 0;
    double goalProgress = 0; // 0...1
    bool running = true;     // false: read from the history, nothing is tracked now
    bool idle = false;
    ContextKind kind = ContextKind::neutral;
    std::string projectName;
    double sessionSeconds = 0;
    std::string appName;
};

namespace FocusIntents {

// "2h 5m of deep work today, 52% of your goal. In deep work on Kestrove for 34m 10s."
std::string statusSentence(const FocusStatusFacts& facts);
FocusStatusFacts liveFacts(SessionEngine& engine);
// The goal's share reached, cut to whole percent, 0...100.
int goalPercent(double progress);
// In deep work: the current stretch has reached the deep-work or the peak phase.
bool isInDeepWork(SessionPhase phase);

} // namespace FocusIntents
} // namespace kestrove
