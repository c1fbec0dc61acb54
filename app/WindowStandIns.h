#pragma once

// What the engine asks of windows that are not built yet: the lockdown with its overlay, the
// floating lock-in display and the morning gate. Each goes as its real window lands; until
// then focus tasks run unenforced and the gate never rises.
#include "Engine/LockInDisplay.h"
#include "Engine/LockdownEnforcer.h"
#include "Engine/MorningGateController.h"
#include "Platform/Log.h"

namespace kestrove {

class NoLockdown final : public LockdownEnforcer
{
public:
    bool isEngaged() const override { return false; }
    void engage(const std::vector<std::string>&, const LockdownMode&) override
    {
        Log("lockdown").info("no lockdown in this build: the task runs unenforced");
    }
    void disengage() override {}
    bool isAllowed(const std::optional<std::string>&) const override { return true; }
    void addToAllowlist(const std::string&) override {}
    std::vector<std::string> allowlist() const override { return {}; }
    void setOnBlock(BlockHandler) override {}
};

class NoOverlay final : public LockdownOverlayController
{
public:
    void show(const std::string&, const std::optional<std::string>&, std::function<void()>,
              std::function<void()>, std::function<void()>) override
    {}
    bool isShown() const override { return false; }
    void hide() override {}
    void showTimeUp(const std::string&, std::function<void()>,
                    std::function<void(long long)>) override
    {}
};

class NoLockInDisplay final : public LockInDisplay
{
public:
    bool isEnabled() const override { return false; }
    bool isSetUp() const override { return false; }
    void setUp() override {}
    bool hasPanel() const override { return false; }
    bool isPanelVisible() const override { return false; }
    void snapToScreenIfNeeded() override {}
    void orderFront() override {}
    void orderOut() override {}
};

class NoMorningGate final : public MorningGateController
{
public:
    void start(DayPlanStore&) override {}
    void evaluate() override {}
    void arm(bool) override {}
    bool isUp() const override { return false; }
    void openEditor() override {}
};

} // namespace kestrove
