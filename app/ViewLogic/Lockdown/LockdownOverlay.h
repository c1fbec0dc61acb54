#pragma once

#include "Engine/LockdownEnforcer.h"
#include "Platform/LifetimeGuard.h"
#include "Platform/Log.h"
#include "core/Date.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace kestrove {

class Clock;
class ScheduledTimer;
class Scheduler;

// The blocking wall as every screen shows it.
struct WallContent
{
    std::string callout;
    std::optional<std::string> blockedAppName;
    bool canAllow = false; // whether the wall offers to allow the blocked application
};

// One window per screen, drawn by the widgets. Each screen keeps its own state (typed text,
// the time-up card's phase) and answers through the actions it was given.
class OverlayScreens
{
public:
    struct WallActions
    {
        std::function<void()> allow; // empty when the wall offers none
        std::function<void()> dismiss;
        std::function<void()> breakOut;
        // A screen switched between the callout card and the break-out card.
        std::function<void(int screen, bool shown)> breakOutCardShown;
    };
    struct TimeUpActions
    {
        std::function<void()> done;
        std::function<void(long long minutes)> extend;
    };

    virtual ~OverlayScreens() = default;
    virtual int screenCount() const = 0;
    // Replaces whatever is shown with fresh windows on every screen.
    virtual void showWall(const WallContent& content, WallActions actions) = 0;
    virtual void showTimeUp(const std::string& taskName, TimeUpActions actions) = 0;
    virtual void takeDown() = 0;
};

// The overlay's rules, apart from its windows: the wall goes down by itself after 8 s (paused
// while any screen shows the break-out card, since the sentence takes longer than that to
// type), and every answer takes the overlay off every screen before the caller's action runs.
// The wall's dismiss action runs only when the user answers, never when the wall times out.
// Main thread only.
class LockdownOverlay final : public LockdownOverlayController
{
public:
    static constexpr TimeInterval kAutoDismiss = 8.0;

    LockdownOverlay(Scheduler& scheduler, const Clock& clock);
    ~LockdownOverlay() override;
    LockdownOverlay(const LockdownOverlay&) = delete;
    LockdownOverlay& operator=(const LockdownOverlay&) = delete;

    // The windows come after the controller: they are built once the application runs.
    void setScreens(OverlayScreens* screens) { m_screens = screens; }

    void show(const std::string& callout, const std::optional<std::string>& blockedAppName,
              std::function<void()> onAllow, std::function<void()> onDismiss,
              std::function<void()> onBreakout) override;
    bool isShown() const override { return m_presentation != Presentation::none; }
    void hide() override;
    void showTimeUp(const std::string& taskName, std::function<void()> onDone,
                    std::function<void(long long minutes)> onExtend) override;

    bool isWallShown() const { return m_presentation == Presentation::wall; }
    bool isAutoDismissRunning() const { return m_dismissTimer != nullptr; }

private:
    enum class Presentation
    {
        none,
        wall,
        timeUp
    };

    void startDismissTimer(TimeInterval seconds);
    void breakOutCardShown(int screen, bool shown);

    Scheduler& m_scheduler;
    const Clock& m_clock;
    OverlayScreens* m_screens = nullptr;
    Log m_log{"overlay"};

    Presentation m_presentation = Presentation::none;
    std::unique_ptr<ScheduledTimer> m_dismissTimer;
    TimeInterval m_dismissAt = 0;    // monotonic
    TimeInterval m_dismissLeft = 0;  // while paused
    std::set<int> m_breakOutScreens; // screens that show the break-out card
    std::function<void()> m_pendingOnDismiss;
    // Invalidated at every presentation, so a window of an earlier one answers nothing.
    std::unique_ptr<LifetimeGuard> m_presentationGuard;
};

} // namespace kestrove
