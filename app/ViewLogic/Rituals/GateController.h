#pragma once

#include "Engine/ChangeObservers.h"
#include "Engine/MorningGateController.h"
#include "Platform/LifetimeGuard.h"
#include "core/DayPlan.h"

#include <functional>
#include <memory>

namespace kestrove {

class Clock;
class DayPlanStore;
class LockdownEnforcer;
class MainQueue;
class ScheduledTimer;
class Scheduler;
class SystemEvents;

// What a host needs to show the planning form: the plan it starts from, where it is shown and
// what its two buttons do. Every window made from it holds its own working copy.
struct GateForm
{
    DayPlan initialPlan;
    bool isWall = false;
    std::function<void(const DayPlan&)> onSubmit;
    // Absent: no close button.
    std::function<void()> onClose;
};

// The wall over every screen. present() builds the form once and shows it on each screen;
// while up, it only brings itself back to the front.
class GateWall
{
public:
    virtual ~GateWall() = default;
    virtual bool isPresenting() const = 0;
    // The wall is up already: re-asserted, `content` not called.
    virtual void present(std::function<GateForm()> content) = 0;
    virtual void reassert() = 0;
    virtual void dismiss() = 0;
    // Set once by the controller: the hatch was held to term.
    virtual void setOnHatch(std::function<void()> onHatch) = 0;
};

// The "Plan the day" window.
class PlanEditorHost
{
public:
    virtual ~PlanEditorHost() = default;
    virtual bool isOpen() const = 0;
    // Builds and shows the window; `onClosed` runs once it closed, however it closed.
    virtual void open(GateForm form, std::function<void()> onClosed) = 0;
    virtual void front() = 0;
    virtual void close() = 0;
};

// Holding Shift, Alt and Ctrl together for five seconds takes the wall down. Releasing any of
// them stops the count; holding them again starts a full five seconds anew. Other modifiers
// held as well change nothing.
class WallHatch
{
public:
    WallHatch(Scheduler& scheduler, MainQueue& mainQueue);
    ~WallHatch();

    // The modifiers held now.
    void handleFlags(bool shift, bool alt, bool ctrl);
    // The wall came down: any count stops.
    void reset();
    bool isCounting() const { return m_timer != nullptr; }

    // Whether the wall still stands when the count ends.
    std::function<bool()> isUp;
    std::function<void()> onHatch;

private:
    Scheduler& m_scheduler;
    MainQueue& m_mainQueue;
    std::unique_ptr<ScheduledTimer> m_timer;
    LifetimeGuard m_guard;
};

// The morning gate: re-checks the day's rule every 30 s, on wake, when the session becomes
// active again, on unlock and after every focus task; raises the wall with the planning form
// on every screen and walls off other applications until a plan is submitted, the rule stops
// holding (a preview excepted) or the hatch is held. Also owns the "Plan the day" editor.
// Main thread only.
class GateController final : public MorningGateController
{
public:
    static constexpr double kEvaluationInterval = 30.0;

    struct Services
    {
        const Clock& clock;
        Scheduler& scheduler;
        MainQueue& mainQueue;
        SystemEvents& systemEvents;
        // Whether a focus task runs: the gate waits for it to end.
        std::function<bool()> focusTaskActive;
        LockdownEnforcer& lockdown;
        GateWall& wall;
        PlanEditorHost& editor;
    };

    explicit GateController(Services services);
    ~GateController() override;
    GateController(const GateController&) = delete;
    GateController& operator=(const GateController&) = delete;

    void start(DayPlanStore& store) override;
    void evaluate() override;
    void arm(bool preview) override;
    bool isUp() const override { return m_isUp; }
    void openEditor() override;

    bool isPreviewing() const { return m_isPreviewing; }
    // Told once after each plan submitted from the wall or the editor.
    ChangeObservers& dayPlanChanged() { return m_dayPlanChanged; }

private:
    GateForm wallForm(bool preview);
    void submitFromWall(const DayPlan& plan);
    void release();
    void forgetEditor();

    Services m_services;
    DayPlanStore* m_store = nullptr;
    bool m_isUp = false;
    bool m_isPreviewing = false;
    // A wall submission is on its way: further clicks (another screen's form) wait for it.
    bool m_submitting = false;
    Date m_currentDay;
    std::unique_ptr<ScheduledTimer> m_timer;
    int m_systemObserver = 0;
    ChangeObservers m_dayPlanChanged;
    LifetimeGuard m_guard;
};

} // namespace kestrove
