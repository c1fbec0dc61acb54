#pragma once

namespace kestrove {

class DayPlanStore;

// The morning gate: at the configured time it walls off the screens until the day's plan is
// written. The engine starts it once and asks it to look again when a focus task ends.
class MorningGateController
{
public:
    virtual ~MorningGateController() = default;

    // Keeps the store, watches wake, session activation, unlock and a 30 s timer, and
    // evaluates once at once.
    virtual void start(DayPlanStore& store) = 0;
    // One check: raises or releases the wall as the day's plan and the time say.
    virtual void evaluate() = 0;
    // Raises the wall; a preview is never taken down by an evaluation.
    virtual void arm(bool preview) = 0;
    // Whether the wall is up.
    virtual bool isUp() const = 0;
    // Opens the day-plan editor window, or fronts it when it is open.
    virtual void openEditor() = 0;
};

} // namespace kestrove
