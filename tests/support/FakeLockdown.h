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
    std::vector<std::string> allowlist;
    LockdownMode mode;
    int engages = 0;
    int disengages = 0; // calls, engaged or not
    std::vector<std::string> added;
    BlockHandler onBlock;

    bool isEngaged() const override { return engaged; }
    void engage(const std::vector<std::string>& ids, const LockdownMode& newMode) override
    {
        engaged = true;
        allowlist.clear();
        for (const auto& id : ids) {
            allowlist.push_back(Text::lowercased(id));
        }
        mode = newMode;
        ++engages;
    }
    void disengage() override
    {
        ++disengages;
        engaged = false;
        allowlist.clear();
    }
    bool isAllowed(const std::optional<std::string>& bundleID) const override
    {
        if (!bundleID) {
            return true;
        }
        const std::string id = Text::lowercased(*bundleID);
        return std::any_of(allowlist.begin(), allowlist.end(),
                           [&](const std::string& entry) { return id.starts_with(entry); });
    }
    void addToAllowlist(const std::string& bundleID) override
    {
        added.push_back(bundleID);
        if (engaged && std::find(allowlist.begin(), allowlist.end(), bundleID) == allowlist.end()) {
            allowlist.push_back(Text::lowercased(bundleID));
        }
    }
    void setOnBlock(BlockHandler handler) override { onBlock = std::move(handler); }
};

// Records the overlay's calls and keeps the time-up prompt's buttons for the test to press.
class FakeLockdownOverlay final : public LockdownOverlayController
{
public:
    int hides = 0;
    std::vector<std::string> timeUpTasks;
    std::function<void()> done;
    std::function<void(long long)> extend;

    void hide() override { ++hides; }
    void showTimeUp(const std::string& taskName, std::function<void()> onDone,
                    std::function<void(long long)> onExtend) override
    {
        timeUpTasks.push_back(taskName);
        done = std::move(onDone);
        extend = std::move(onExtend);
    }
};

} // namespace kestrove
