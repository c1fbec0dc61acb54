#pragma once

#include "Engine/LockdownEnforcer.h"
#include "core/Text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kestrove {

// A blocker that records its calls and allows by prefix, as the real one does for focus tasks.
class FakeLockdownEnforcer final : public LockdownEnforcer
{
public:
    bool engaged = false;
    std::vector<std::string> allowlistEntries;
    LockdownMode mode;
    int engages = 0;
    int disengages = 0; // calls, engaged or not
    std::vector<std::string> added;
    std::vector<std::string> removed;
    BlockHandler onBlock;

    bool isEngaged() const override { return engaged; }
    void engage(const std::vector<std::string>& ids, const LockdownMode& newMode) override
    {
        engaged = true;
        allowlistEntries.clear();
        for (const auto& id : ids) {
            allowlistEntries.push_back(Text::lowercased(id));
        }
        mode = newMode;
        ++engages;
    }
    void disengage() override
    {
        ++disengages;
        engaged = false;
        allowlistEntries.clear();
    }
    bool isAllowed(const std::optional<std::string>& bundleID) const override
    {
        if (!bundleID) {
            return true;
        }
        const std::string id = Text::lowercased(*bundleID);
        return std::any_of(allowlistEntries.begin(), allowlistEntries.end(),
                           [&](const std::string& entry) { return id.starts_with(entry); });
    }
    void addToAllowlist(const std::string& bundleID) override
    {
        added.push_back(bundleID);
        if (engaged && std::find(allowlistEntries.begin(), allowlistEntries.end(), bundleID) ==
                           allowlistEntries.end()) {
            allowlistEntries.push_back(Text::lowercased(bundleID));
        }
    }
    void removeFromAllowlist(const std::string& bundleID) override
    {
        removed.push_back(bundleID);
        std::erase(allowlistEntries, Text::lowercased(bundleID));
    }
    std::vector<std::string> allowlist() const override
    {
        std::vector<std::string> sorted = engaged ? allowlistEntries : std::vector<std::string>{};
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
    void setOnBlock(BlockHandler handler) override { onBlock = std::move(handler); }
};

// Records the overlay's calls and keeps the time-up prompt's buttons for the test to press.
class FakeLockdownOverlay final : public LockdownOverlayController
{
public:
    int hides = 0;
    bool shown = false;
    std::vector<std::string> callouts;
    std::function<void()> allow, dismiss, breakout;
    std::vector<std::string> timeUpTasks;
    std::function<void()> done;
    std::function<void(long long)> extend;

    void show(const std::string& callout, const std::optional<std::string>&,
              std::function<void()> onAllow, std::function<void()> onDismiss,
              std::function<void()> onBreakout) override
    {
        shown = true;
        callouts.push_back(callout);
        allow = std::move(onAllow);
        dismiss = std::move(onDismiss);
        breakout = std::move(onBreakout);
    }
    bool isShown() const override { return shown; }
    void hide() override
    {
        ++hides;
        shown = false;
    }
    void showTimeUp(const std::string& taskName, std::function<void()> onDone,
                    std::function<void(long long)> onExtend) override
    {
        shown = true;
        timeUpTasks.push_back(taskName);
        done = std::move(onDone);
        extend = std::move(onExtend);
    }
};

} // namespace kestrove
