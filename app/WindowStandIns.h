#pragma once

// What the engine asks of windows that are not built yet: the floating lock-in display and the
// morning gate. Each goes as its real window lands; until then the gate never rises.
#include "Engine/LockInDisplay.h"
#include "Engine/MorningGateController.h"

namespace kestrove {

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
