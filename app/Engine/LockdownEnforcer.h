#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// What a lockdown walls off for: one focus task (its identifier), or the morning gate.
struct LockdownMode
{
    enum class Kind
    {
        focusTask,
        morningGate
    };

    Kind kind = Kind::focusTask;
    std::string focusTaskID; // only for a focus task

    static LockdownMode focusTask(std::string id) { return {Kind::focusTask, std::move(id)}; }
    static LockdownMode morningGate() { return {Kind::morningGate, {}}; }
    bool operator==(const LockdownMode&) const = default;
};

// Covers every application outside an allowlist while engaged. The engine owns the one
// blocker; the lockdown's own code decides what is allowed and how blocking looks.
class LockdownEnforcer
{
public:
    // One blocked activation in focus-task mode: the application and the task's identifier.
    using BlockHandler =
        std::function<void(const std::string& bundleID, const std::string& focusTaskID)>;

    virtual ~LockdownEnforcer() = default;

    virtual bool isEngaged() const = 0;
    // The identifiers are kept lower-cased.
    virtual void engage(const std::vector<std::string>& allowlist, const LockdownMode& mode) = 0;
    // Does nothing unless engaged.
    virtual void disengage() = 0;
    // An absent identifier is allowed.
    virtual bool isAllowed(const std::optional<std::string>& bundleID) const = 0;
    // Only while engaged; a blocked application that becomes allowed is let through at once.
    virtual void addToAllowlist(const std::string& bundleID) = 0;
    // Only while engaged, when the user takes an application back out of a running task; the
    // next activation or poll judges it again.
    virtual void removeFromAllowlist(const std::string& bundleID) = 0;
    // The permitted identifiers, lower-cased and sorted; empty when not engaged.
    virtual std::vector<std::string> allowlist() const = 0;
    virtual void setOnBlock(BlockHandler handler) = 0;
};

// The overlay that covers every screen: the blocking wall and the time-up prompt.
class LockdownOverlayController
{
public:
    virtual ~LockdownOverlayController() = default;

    // Covers every screen with the blocking wall. `onAllow` is empty when the blocked application
    // cannot be allowed; each action runs once the wall is down on every screen.
    virtual void show(const std::string& callout, const std::optional<std::string>& blockedAppName,
                      std::function<void()> onAllow, std::function<void()> onDismiss,
                      std::function<void()> onBreakout) = 0;
    // Whether the wall or the time-up prompt is up.
    virtual bool isShown() const = 0;
    // Takes every overlay window away.
    virtual void hide() = 0;
    // Covers every screen with the time-up prompt until hidden; its buttons call back.
    virtual void showTimeUp(const std::string& taskName, std::function<void()> onDone,
                            std::function<void(long long minutes)> onExtend) = 0;
};

} // namespace kestrove
