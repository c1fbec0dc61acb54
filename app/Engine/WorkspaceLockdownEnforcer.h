#pragma once

#include "Engine/LockdownEnforcer.h"
#include "Platform/Hider.h"
#include "Platform/LifetimeGuard.h"
#include "Platform/Log.h"
#include "Platform/Workspace.h"
#include "core/Date.h"

#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace kestrove {

class Clock;
class ScheduledTimer;
class Scheduler;

// The one application blocker. It watches activations (and polls the frontmost application
// every 2 s) while engaged; in focus-task mode an application outside the allowlist raises the
// wall on every screen and is reported, in morning-gate mode it is hidden at once.
// Main thread only.
class WorkspaceLockdownEnforcer final : public LockdownEnforcer
{
public:
    static constexpr TimeInterval kPollInterval = 2.0;
    static constexpr TimeInterval kHideThrottle = 0.75;

    // What the enforcer asks of its owners once they exist: the engine and the morning gate.
    struct Hooks
    {
        // The time-up prompt is on screen: no application is judged meanwhile.
        std::function<bool()> isTimeUpShown;
        // The wall's allow button: the running task takes the application in.
        std::function<void(const std::string& bundleID)> allowApplication;
        // The wall's break-out: the running task ends as broken out.
        std::function<void()> breakOut;
        // An application was hidden from the morning wall: bring the wall back to the front.
        std::function<void()> reassertMorningWall;
    };

    WorkspaceLockdownEnforcer(Workspace& workspace, Scheduler& scheduler, const Clock& clock,
                              Hider& hider, LockdownOverlayController& overlay);
    ~WorkspaceLockdownEnforcer() override;
    WorkspaceLockdownEnforcer(const WorkspaceLockdownEnforcer&) = delete;
    WorkspaceLockdownEnforcer& operator=(const WorkspaceLockdownEnforcer&) = delete;

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    bool isEngaged() const override { return m_isEngaged; }
    void engage(const std::vector<std::string>& allowlist, const LockdownMode& mode) override;
    void disengage() override;
    bool isAllowed(const std::optional<std::string>& bundleID) const override;
    void addToAllowlist(const std::string& bundleID) override;
    void removeFromAllowlist(const std::string& bundleID) override;
    std::vector<std::string> allowlist() const override;
    void setOnBlock(BlockHandler handler) override { m_onBlock = std::move(handler); }

    const LockdownMode& mode() const { return m_mode; }
    const std::optional<std::string>& currentCallout() const { return m_currentCallout; }
    const std::optional<std::string>& currentBlockedBundleID() const
    {
        return m_currentBlockedBundleID;
    }

    // The wall's lines, in order.
    static const std::vector<std::string>& callouts();
    // Allowed in morning-gate mode: the desktop's panels, docks and screen lockers, and ourselves.
    static const std::set<std::string>& morningGateBundleIDs();
    // Always allowed in focus-task mode: the above, file managers and the system settings.
    static const std::set<std::string>& systemEssentialBundleIDs();

private:
    void handleActivation(const std::optional<FrontmostApplication>& app);
    void pollFrontmost();
    void forceRefocusIfBlocked();
    void evictBlocker(const std::string& bundleID,
                      const std::optional<FrontmostApplication>& refocusTo);
    void blockInFocusTask(const FrontmostApplication& app, const std::string& bundleID);
    void stopWatching();

    Workspace& m_workspace;
    Scheduler& m_scheduler;
    const Clock& m_clock;
    Hider& m_hider;
    LockdownOverlayController& m_overlay;
    Hooks m_hooks;
    Log m_log{"lockdown"};

    bool m_isEngaged = false;
    std::optional<std::string> m_currentCallout;
    std::optional<std::string> m_currentBlockedBundleID;
    LockdownMode m_mode;
    std::set<std::string> m_allowlist;
    std::optional<FrontmostApplication> m_lastAllowedApp;
    std::optional<std::string> m_activeFocusTaskID;
    std::optional<int> m_activationObserver;
    std::unique_ptr<ScheduledTimer> m_enforcementTimer;
    std::map<std::string, TimeInterval> m_lastHideAttemptAt; // monotonic seconds
    BlockHandler m_onBlock;
    std::mt19937 m_random{std::random_device{}()};
    LifetimeGuard m_guard;
};

} // namespace kestrove
